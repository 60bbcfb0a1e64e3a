#include "app/WebViewGraphics.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWidget>
#include <QQuickWindow>

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

void chooseWebViewGraphics()
{
    // A backend named in Qt Quick's own variables is the user's choice.
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return;
    // No OpenGL at all leaves Qt Quick's own choice, which is software then too.
    if (isSoftwareRenderer(openGLRenderer()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

bool webViewComposedWithOpenGL()
{
    return QQuickWindow::graphicsApi() != QSGRendererInterface::Software;
}

void prepareForWebView(QWidget* pane)
{
    if (!webViewComposedWithOpenGL())
        return;
    // Qt gives a window an OpenGL surface when it is made with a widget that renders to a texture among
    // its children, shown or not; the web view draws through such a widget itself. This one never shows
    // and never loads anything: it only stands in for the view until the view is there.
    auto* standIn = new QQuickWidget(pane);
    standIn->hide();
}
