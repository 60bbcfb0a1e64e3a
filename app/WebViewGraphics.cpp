#include "app/WebViewGraphics.h"

#include <QDir>
#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>

#include <utility>

QT_BEGIN_NAMESPACE
// Qt Gui's shared OpenGL context, as Qt's own modules (the web engine among them) reach it.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

bool backendChosenByUser()
{
    return qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND");
}

// Holds the shared OpenGL context's place from before the QGuiApplication is made until the window is on
// screen, never made itself: what runs as the application starts (the web engine's start-up, in some of
// its versions) then finds a shared context there and makes none.
QOpenGLContext* sharedContextPlaceholder = nullptr;
// The shared context made in its place.
QOpenGLContext* madeSharedContext = nullptr;
// What chooseWebViewGraphics chose.
bool drawnInSoftware = false;

// Runs as the application ends, while Qt still has its window system and thread data: a context deleted
// any later (with the program's static objects) crashes.
void deleteSharedContexts()
{
    qt_gl_set_global_share_context(nullptr);
    delete std::exchange(sharedContextPlaceholder, nullptr);
    delete std::exchange(madeSharedContext, nullptr);
}

}

bool isSoftwareRenderer(const QString& renderer)
{
    static const QString softwareRenderers[] {
        QStringLiteral("llvmpipe"),
        QStringLiteral("softpipe"),
        QStringLiteral("Software Rasterizer"),
        QStringLiteral("SwiftShader"),
    };
    for (const QString& name : softwareRenderers)
        if (renderer.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

QString openGLRenderer()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface))
        return {};
    const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = QString::fromLatin1(name ? name : "");
    context.doneCurrent();
    return renderer;
}

bool hasGraphicsDevice(const QString& devices)
{
    const QDir folder(devices);
    const auto any = [](const QDir& in, const QStringList& patterns) {
        return !in.entryList(patterns, QDir::Files | QDir::System).isEmpty();
    };
    return any(QDir(folder.filePath(QStringLiteral("dri"))),
               { QStringLiteral("renderD*"), QStringLiteral("card*") })
        || any(folder, { QStringLiteral("nvidia[0-9]*") });
}

void prepareWebViewGraphics()
{
    if (backendChosenByUser() || hasGraphicsDevice()) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        return;
    }
    sharedContextPlaceholder = new QOpenGLContext;
    qt_gl_set_global_share_context(sharedContextPlaceholder);
    qAddPostRoutine(deleteSharedContexts);
}

void chooseWebViewGraphics()
{
    if (sharedContextPlaceholder) {
        drawnInSoftware = true;
        return;
    }
    // A backend named in Qt Quick's own variables is the user's choice.
    if (backendChosenByUser())
        return;
    // Without OpenGL at all, software is all that Qt Quick can draw with.
    const QString renderer = openGLRenderer();
    drawnInSoftware = renderer.isEmpty() || isSoftwareRenderer(renderer);
}

bool webViewDrawnInSoftware()
{
    return drawnInSoftware;
}

void makeSharedContextForWebView()
{
    if (!sharedContextPlaceholder)
        return;
    // The web engine picks its way of reaching OpenGL from this context, even where it draws in software.
    madeSharedContext = new QOpenGLContext;
    madeSharedContext->create();
    qt_gl_set_global_share_context(madeSharedContext);
    delete std::exchange(sharedContextPlaceholder, nullptr);
}

bool quickComposesWithOpenGL(const QString& sceneGraphBackend, const QString& graphicsApi)
{
    // "rhi" names the adaptation that draws through a graphics API; the others ("software", "openvg")
    // draw without OpenGL.
    if (!sceneGraphBackend.isEmpty()
        && sceneGraphBackend.compare(QLatin1String("rhi"), Qt::CaseInsensitive) != 0)
        return false;
    return graphicsApi.isEmpty() || graphicsApi.compare(QLatin1String("opengl"), Qt::CaseInsensitive) == 0
        || graphicsApi.compare(QLatin1String("gl"), Qt::CaseInsensitive) == 0;
}

bool webViewComposedWithOpenGL()
{
    // Where the user names no backend, both are empty: Qt Quick's own choice, OpenGL.
    return !drawnInSoftware
        && quickComposesWithOpenGL(
            qEnvironmentVariable("QT_QUICK_BACKEND"), qEnvironmentVariable("QSG_RHI_BACKEND"));
}

void prepareForWebView(QWidget* pane)
{
    if (!webViewComposedWithOpenGL())
        return;
    // Qt gives a window an OpenGL surface when it is made with a widget that renders to a texture among
    // its children, shown or not; the web view draws through such a widget itself. This one never shows
    // and never draws: it only stands in for the view until the view is there, without loading Qt Quick
    // before the window shows.
    auto* standIn = new QOpenGLWidget(pane);
    standIn->hide();
}
