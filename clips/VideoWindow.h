#pragma once

#include <QWindow>

#include <memory>

class QOpenGLContext;
struct mpv_handle;
struct mpv_render_context;

// Draws the frames of an mpv core through mpv's render API into a native OpenGL window of its own. A
// window, not an OpenGL widget: an OpenGL widget makes Qt compose its whole top-level window with OpenGL
// on every repaint of any widget in it, and the clip table's rows repaint while the metadata arrives.
//
// The window keeps its own context, made when a core is attached rather than when the window is first
// shown: mpv gives up video for a file whose playback starts before a renderer exists.
class VideoWindow : public QWindow
{
    Q_OBJECT

public:
    VideoWindow();
    ~VideoWindow() override;

    // Draws `core`'s frames from now on; nullptr draws black. The window's hold on a core must end
    // before that core goes.
    void attach(mpv_handle* core);

    // Draws the current frame again, and reports it as a new one.
    void redraw();

signals:
    // A new video frame has been drawn.
    void frameDrawn();

protected:
    bool event(QEvent* event) override;
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool makeCurrent();
    void createRenderContext();
    void freeRenderContext();
    void onRenderUpdate();
    void render();

    std::unique_ptr<QOpenGLContext> glContext;
    mpv_handle* core = nullptr;
    mpv_render_context* renderContext = nullptr;
    bool framePending = false;
};
