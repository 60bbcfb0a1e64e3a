#include "clips/VideoSurface.h"
#include "clips/VideoWindow.h"

#include <QVBoxLayout>

VideoSurface::VideoSurface(QWidget* parent)
    : QWidget(parent)
    , window(new VideoWindow)
{
    // The container owns the window and takes it down with this widget.
    QWidget* container = QWidget::createWindowContainer(window, this);
    container->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container);
    connect(window, &VideoWindow::frameDrawn, this, &VideoSurface::frameDrawn);
}

void VideoSurface::attach(mpv_handle* core)
{
    window->attach(core);
}

void VideoSurface::redraw()
{
    window->redraw();
}
