#include "app/ApplicationStyle.h"
#include "core/DrawnIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

// Two chevrons pointing the way the hidden items lie: right, turned clockwise by `degrees`.
QIcon chevrons(qreal degrees)
{
    return DrawnIcon::fromShape([degrees](QPainter& painter) {
        painter.translate(8, 8);
        painter.rotate(degrees);
        painter.translate(-8, -8);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({ { 3.5, 4 }, { 7.5, 8 }, { 3.5, 12 } }));
        painter.drawPolyline(QPolygonF({ { 8.5, 4 }, { 12.5, 8 }, { 8.5, 12 } }));
    });
}

}

QIcon ApplicationStyle::standardIcon(
    StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const
{
    switch (icon) {
    case SP_ToolBarHorizontalExtensionButton: {
        const Qt::LayoutDirection direction = option ? option->direction
            : widget                                 ? widget->layoutDirection()
                                                     : QGuiApplication::layoutDirection();
        static const QIcon right = chevrons(0);
        static const QIcon left = chevrons(180);
        return direction == Qt::RightToLeft ? left : right;
    }
    case SP_ToolBarVerticalExtensionButton: {
        static const QIcon down = chevrons(90);
        return down;
    }
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}
