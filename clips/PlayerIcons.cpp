#include "clips/PlayerIcons.h"
#include "core/DrawnIcon.h"

#include <QPainter>

namespace PlayerIcons {

namespace {

    void speaker(QPainter& painter)
    {
        painter.drawPolygon(
            QPolygonF({ { 2, 6 }, { 5, 6 }, { 8.5, 2.5 }, { 8.5, 13.5 }, { 5, 10 }, { 2, 10 } }));
    }

}

QIcon play()
{
    static const QIcon icon = DrawnIcon::fromShape([](QPainter& painter) {
        painter.drawPolygon(QPolygonF({ { 4.5, 3 }, { 13, 8 }, { 4.5, 13 } }));
    });
    return icon;
}

QIcon pause()
{
    static const QIcon icon = DrawnIcon::fromShape([](QPainter& painter) {
        painter.drawRect(QRectF(4, 3.5, 2.5, 9));
        painter.drawRect(QRectF(9.5, 3.5, 2.5, 9));
    });
    return icon;
}

QIcon volume()
{
    static const QIcon icon = DrawnIcon::fromShape([](QPainter& painter) {
        speaker(painter);
        painter.setBrush(Qt::NoBrush);
        // Two sound waves: arcs of circles round the speaker's mouth, a sixteenth of a degree per unit.
        painter.drawArc(QRectF(6.5, 5, 5, 6), -50 * 16, 100 * 16);
        painter.drawArc(QRectF(6, 2.5, 8.5, 11), -50 * 16, 100 * 16);
    });
    return icon;
}

QIcon muted()
{
    static const QIcon icon = DrawnIcon::fromShape([](QPainter& painter) {
        speaker(painter);
        painter.drawLine(QPointF(10.5, 5.5), QPointF(15, 10.5));
        painter.drawLine(QPointF(10.5, 10.5), QPointF(15, 5.5));
    });
    return icon;
}

}
