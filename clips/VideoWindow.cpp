#include "clips/VideoWindow.h"
#include "clips/MpvLibrary.h"

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

VideoWindow::VideoWindow()
{
    setSurfaceType(QSurface::OpenGLSurface);
    // The picture is only shown: clicks and the keyboard belong to the player's widgets around it.
    setFlags(flags() | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
}

VideoWindow::~VideoWindow()
{
    freeRenderContext();
}

void VideoWindow::attach(mpv_handle* newCore)
{
    freeRenderContext();
    core = newCore;
    if (core)
        createRenderContext();
    requestUpdate();
}

bool VideoWindow::makeCurrent()
{
    if (!glContext) {
        // A native window that is not on screen yet can still be drawn with.
        create();
        glContext = std::make_unique<QOpenGLContext>();
        glContext->setFormat(requestedFormat());
        glContext->create();
    }
    return glContext->isValid() && glContext->makeCurrent(this);
}

void VideoWindow::createRenderContext()
{
    // The core came from the loaded library.
    MpvLibrary& mpv = *mpvLibrary();
    if (!makeCurrent())
        return;
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
    if (mpv.renderContextCreate(&renderContext, core, parameters.data()) < 0)
        renderContext = nullptr;
    glContext->doneCurrent();
    if (!renderContext)
        return;
    // Called on mpv's render thread: only hand the news to the main thread.
    mpv.renderContextSetUpdateCallback(
        renderContext,
        [](void* window) {
            QMetaObject::invokeMethod(
                static_cast<VideoWindow*>(window), &VideoWindow::onRenderUpdate, Qt::QueuedConnection);
        },
        this);
}

void VideoWindow::freeRenderContext()
{
    if (!renderContext)
        return;
    makeCurrent();
    MpvLibrary& mpv = *mpvLibrary();
    mpv.renderContextSetUpdateCallback(renderContext, nullptr, nullptr);
    mpv.renderContextFree(renderContext);
    renderContext = nullptr;
    glContext->doneCurrent();
    framePending = false;
}

void VideoWindow::redraw()
{
    framePending = true;
    requestUpdate();
}

void VideoWindow::onRenderUpdate()
{
    if (!renderContext)
        return;
    // Render at every update, frame or not: after a change of video format mpv waits for a render call
    // before it hands over the new frame.
    if (mpvLibrary()->renderContextUpdate(renderContext) & MPV_RENDER_UPDATE_FRAME)
        framePending = true;
    requestUpdate();
}

bool VideoWindow::event(QEvent* event)
{
    if (event->type() == QEvent::UpdateRequest)
        render();
    return QWindow::event(event);
}

void VideoWindow::exposeEvent(QExposeEvent*)
{
    render();
}

void VideoWindow::resizeEvent(QResizeEvent*)
{
    // X reports no newly exposed area when a window shrinks; a paused picture must still fit again.
    requestUpdate();
}

void VideoWindow::render()
{
    if (!isExposed() || !makeCurrent())
        return;
    const qreal scale = devicePixelRatio();
    if (!renderContext) {
        QOpenGLFunctions* gl = glContext->functions();
        gl->glViewport(0, 0, int(width() * scale), int(height() * scale));
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
    } else {
        mpv_opengl_fbo framebuffer { int(glContext->defaultFramebufferObject()), int(width() * scale),
            int(height() * scale), 0 };
        int flipY = 1;
        mpv_render_param parameters[] = {
            { MPV_RENDER_PARAM_OPENGL_FBO, &framebuffer },
            { MPV_RENDER_PARAM_FLIP_Y, &flipY },
            { MPV_RENDER_PARAM_INVALID, nullptr },
        };
        mpvLibrary()->renderContextRender(renderContext, parameters);
    }
    glContext->swapBuffers(this);
    if (renderContext && framePending) {
        framePending = false;
        emit frameDrawn();
    }
}
