#include "core/Spinner.h"

#include <QPainter>
#include <QTimerEvent>

Spinner::Spinner(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Spinner::startAnimation()
{
    if (!timer.isActive())
        timer.start(50, this);
    update();
}

void Spinner::stopAnimation()
{
    timer.stop();
    update();
}

void Spinner::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer.timerId())
        return QWidget::timerEvent(event);
    angle = (angle + 30) % 360;
    update();
}

void Spinner::paintEvent(QPaintEvent*)
{
    if (!isAnimating())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int side = qMin(width(), height()) - 4;
    const QRectF square((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2.0, Qt::SolidLine, Qt::RoundCap));
    // Qt measures arcs in sixteenths of a degree, counter-clockwise; turn clockwise.
    painter.drawArc(square, -angle * 16, 270 * 16);
}
