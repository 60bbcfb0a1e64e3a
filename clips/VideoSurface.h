#pragma once

#include <QOpenGLWidget>

struct mpv_render_context;
class MpvPlayer;

// Draws the frames of a player through mpv's render API into this OpenGL widget.
class VideoSurface : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);
    ~VideoSurface() override;

    // Draws `player`'s frames from now on; nullptr draws black. The surface's hold on a player must end
    // before that player goes.
    void attach(MpvPlayer* player);

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

    MpvPlayer* player = nullptr;
    mpv_render_context* renderContext = nullptr;
    bool framePending = false;
};
