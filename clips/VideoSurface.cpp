#include "clips/VideoSurface.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QtGui/qguiapplication_platform.h>

#include <mpv/render_gl.h>

#include <vector>

namespace {

void* procAddress(void*, const char* name)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

}

VideoSurface::VideoSurface(QWidget* parent)
    : QOpenGLWidget(parent)
{
}

VideoSurface::~VideoSurface()
{
    freeRenderContext();
    // QOpenGLWidget's own destructor takes the context down after this one has run; its notice must not
    // reach a VideoSurface that is no longer there.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

void VideoSurface::attach(mpv_handle* newCore)
{
    freeRenderContext();
    core = newCore;
    // Without a GL context yet (the surface was never shown), initializeGL() makes the render context.
    if (core && context())
        createRenderContext();
    update();
}

void VideoSurface::initializeGL()
{
    // The context goes when the widget moves to another window; mpv's renderer must go first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &VideoSurface::freeRenderContext,
        Qt::DirectConnection);
    if (core)
        createRenderContext();
}

void VideoSurface::createRenderContext()
{
    makeCurrent();
    mpv_opengl_init_params glInit { procAddress, nullptr };
    int advancedControl = 0;
    std::vector<mpv_render_param> parameters {
        { MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL) },
        { MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit },
        { MPV_RENDER_PARAM_ADVANCED_CONTROL, &advancedControl },
    };
    // Hardware decoders hand their frames to OpenGL through the window system: VA-API and VDPAU on X11
    // need its display. (NVDEC needs nothing; elsewhere mpv decodes in software.)
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        parameters.push_back({ MPV_RENDER_PARAM_X11_DISPLAY, x11->display() });
    parameters.push_back({ MPV_RENDER_PARAM_INVALID, nullptr });
    if (mpv_render_context_create(&renderContext, core, parameters.data()) < 0)
        renderContext = nullptr;
    doneCurrent();
    if (!renderContext)
        return;
    // Called on mpv's render thread: only hand the news to the main thread.
    mpv_render_context_set_update_callback(
        renderContext,
        [](void* surface) {
            QMetaObject::invokeMethod(
                static_cast<VideoSurface*>(surface), &VideoSurface::onRenderUpdate, Qt::QueuedConnection);
        },
        this);
}

void VideoSurface::freeRenderContext()
{
    if (!renderContext)
        return;
    makeCurrent();
    mpv_render_context_set_update_callback(renderContext, nullptr, nullptr);
    mpv_render_context_free(renderContext);
    renderContext = nullptr;
    doneCurrent();
    framePending = false;
}

void VideoSurface::redraw()
{
    framePending = true;
    update();
}

void VideoSurface::onRenderUpdate()
{
    if (!renderContext)
        return;
    // Render at every update, frame or not: after a change of video format mpv waits for a render call
    // before it hands over the new frame.
    if (mpv_render_context_update(renderContext) & MPV_RENDER_UPDATE_FRAME)
        framePending = true;
    update();
}

void VideoSurface::paintGL()
{
    if (!renderContext) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal scale = devicePixelRatioF();
    mpv_opengl_fbo framebuffer { int(defaultFramebufferObject()), int(width() * scale), int(height() * scale),
        0 };
    int flipY = 1;
    mpv_render_param parameters[] = {
        { MPV_RENDER_PARAM_OPENGL_FBO, &framebuffer },
        { MPV_RENDER_PARAM_FLIP_Y, &flipY },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    mpv_render_context_render(renderContext, parameters);
    if (framePending) {
        framePending = false;
        emit frameDrawn();
    }
}
