#include "clips/VideoSurface.h"
#include "clips/VideoWindow.h"

#include <QVBoxLayout>

VideoSurface::VideoSurface(QWidget* parent)
    : QWidget(parent)
{
    // Black, as the picture is without a clip, until the native window is made.
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void VideoSurface::attach(mpv_handle* core)
{
    if (!window && !core)
        return;
    makeWindow();
    window->attach(core);
}

void VideoSurface::redraw()
{
    if (window)
        window->redraw();
}

void VideoSurface::makeWindow()
{
    if (window)
        return;
    window = new VideoWindow;
    // The container owns the window and takes it down with this widget.
    QWidget* container = QWidget::createWindowContainer(window, this);
    container->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(container);
    connect(window, &VideoWindow::frameDrawn, this, &VideoSurface::frameDrawn);
}
