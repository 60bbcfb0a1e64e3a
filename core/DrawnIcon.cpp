#include "core/DrawnIcon.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <utility>

namespace DrawnIcon {

namespace {

    constexpr qreal grid = 16;

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

}

QIcon fromShape(Shape shape)
{
    return QIcon(new ShapeIconEngine(std::move(shape)));
}

}
