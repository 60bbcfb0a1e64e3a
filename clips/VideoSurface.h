#pragma once

#include <QWidget>

struct mpv_handle;
class VideoWindow;

// The player's picture in the widget tree: holds the native window that mpv draws into. That window is
// made when the first core is attached, not with the main window: a native OpenGL window has the OpenGL
// driver loaded as it is made, which the main window would otherwise wait for before it can show.
class VideoSurface : public QWidget
{
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);

    // Draws `core`'s frames from now on; nullptr draws black. The surface's hold on a core must end
    // before that core goes.
    void attach(mpv_handle* core);

    // Draws the current frame again, and reports it as a new one.
    void redraw();

signals:
    // A new video frame has been drawn.
    void frameDrawn();

private:
    void makeWindow();

    VideoWindow* window = nullptr;
};
