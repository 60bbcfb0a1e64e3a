#include "clips/StatusIcons.h"

#include <QPainter>
#include <QPixmap>

namespace StatusIcons {

namespace {

    constexpr int iconSize = 16;

    QIcon dot(const QColor& outline, const QColor& fill, bool struck = false)
    {
        QPixmap pixmap(iconSize, iconSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(outline, 1.5));
        painter.setBrush(fill);
        const QRectF ring(3.5, 3.5, iconSize - 7, iconSize - 7);
        painter.drawEllipse(ring);
        if (struck)
            painter.drawLine(ring.bottomLeft(), ring.topRight());
        return QIcon(pixmap);
    }

}

QIcon none()
{
    static const QIcon icon = dot(QColor(150, 150, 150), Qt::transparent);
    return icon;
}

QIcon unavailable()
{
    static const QIcon icon = dot(QColor(170, 30, 30), QColor(225, 50, 45));
    return icon;
}

QIcon unreadable()
{
    static const QIcon icon = dot(QColor(150, 150, 150), Qt::transparent, true);
    return icon;
}

}
