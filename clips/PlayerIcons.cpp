#include "clips/PlayerIcons.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <functional>
#include <utility>

namespace PlayerIcons {

namespace {

    // Every shape is drawn on a 16 × 16 grid, scaled to the size asked for.
    constexpr qreal grid = 16;

    using Shape = std::function<void(QPainter&)>;

    class ShapeIconEngine final : public QIconEngine
    {
    public:
        explicit ShapeIconEngine(Shape shape)
            : shape(std::move(shape))
        {
        }

        void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
        {
            const QPalette palette = QGuiApplication::palette();
            const QColor colour = palette.color(
                mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText);
            const qreal side = std::min(rect.width(), rect.height());
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
            painter->scale(side / grid, side / grid);
            painter->setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(colour);
            shape(*painter);
            painter->restore();
        }

        // QIconEngine's own pixmap() fills its pixmap while a painter is already on it, which here left
        // stray pixels in the icon's colours: both pixmaps are made here, filled before the painter starts.
        QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
        {
            return scaledPixmap(size, mode, state, 1);
        }

        // `size` is in device pixels, as QIcon asks for it.
        QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
        {
            QPixmap pixmap(size);
            pixmap.setDevicePixelRatio(scale);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            paint(&painter, QRect(QPoint(), (QSizeF(size) / scale).toSize()), mode, state);
            return pixmap;
        }

        QIconEngine* clone() const override { return new ShapeIconEngine(shape); }

    private:
        Shape shape;
    };

    QIcon drawn(Shape shape)
    {
        return QIcon(new ShapeIconEngine(std::move(shape)));
    }

    void speaker(QPainter& painter)
    {
        painter.drawPolygon(
            QPolygonF({ { 2, 6 }, { 5, 6 }, { 8.5, 2.5 }, { 8.5, 13.5 }, { 5, 10 }, { 2, 10 } }));
    }

}

QIcon play()
{
    static const QIcon icon = drawn([](QPainter& painter) {
        painter.drawPolygon(QPolygonF({ { 4.5, 3 }, { 13, 8 }, { 4.5, 13 } }));
    });
    return icon;
}

QIcon pause()
{
    static const QIcon icon = drawn([](QPainter& painter) {
        painter.drawRect(QRectF(4, 3.5, 2.5, 9));
        painter.drawRect(QRectF(9.5, 3.5, 2.5, 9));
    });
    return icon;
}

QIcon volume()
{
    static const QIcon icon = drawn([](QPainter& painter) {
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
    static const QIcon icon = drawn([](QPainter& painter) {
        speaker(painter);
        painter.drawLine(QPointF(10.5, 5.5), QPointF(15, 10.5));
        painter.drawLine(QPointF(10.5, 10.5), QPointF(15, 5.5));
    });
    return icon;
}

}
