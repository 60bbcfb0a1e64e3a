#pragma once

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

// Draws the frames of an mpv core through mpv's render API into this OpenGL widget.
class VideoSurface : public QOpenGLWidget
{
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Draws `core`'s frames from now on; nullptr draws black. The surface's hold on a core must end
    // before that core goes.
    void attach(mpv_handle* core);

    // Draws the current frame again, and reports it as a new one.
    void redraw();

signals:
    // A new video frame has been drawn.
    void frameDrawn();

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    void createRenderContext();
    void freeRenderContext();
    void onRenderUpdate();

    mpv_handle* core = nullptr;
    mpv_render_context* renderContext = nullptr;
    bool framePending = false;
};
