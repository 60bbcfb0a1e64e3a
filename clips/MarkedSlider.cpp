#include "clips/MarkedSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

MarkedSlider::MarkedSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
}

void MarkedSlider::setMarks(const QList<int>& positions)
{
    if (positions == markPositions)
        return;
    markPositions = positions;
    update();
}

void MarkedSlider::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);
    if (markPositions.isEmpty() || maximum() <= minimum())
        return;

    QStyleOptionSlider option;
    initStyleOption(&option);
    // The handle's centre travels between half a handle from either end of the groove: a mark sits where
    // the handle's centre would stand at its position.
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    const int left = groove.x() + handle.width() / 2;

    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    const int tickLength = std::max(3, (height() - groove.height()) / 3);
    for (int position : markPositions) {
        if (position < minimum() || position > maximum())
            continue;
        const int x = left + QStyle::sliderPositionFromValue(minimum(), maximum(), position, span);
        painter.drawLine(x, 0, x, tickLength);
        painter.drawLine(x, height() - tickLength, x, height());
    }
}
