#include "app/WebViewGraphics.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

// Names as the drivers give them.
TEST(WebViewGraphics, TellsTheProcessorsRenderersFromGraphicsCards)
{
    const struct
    {
        const char* renderer;
        bool software;
    } cases[] {
        { "llvmpipe (LLVM 15.0.6, 256 bits)", true },
        { "softpipe", true },
        { "Software Rasterizer", true },
        { "Google SwiftShader", true },
        { "SwiftShader Device (Subzero) (0x0000C0DE)", true },
        // A Radeon names the LLVM that compiles its shaders.
        { "AMD Radeon RX 580 Series (polaris10, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false },
        { "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false },
        { "NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false },
        // No OpenGL at all.
        { "", false },
    };
    for (const auto& [renderer, software] : cases)
        EXPECT_EQ(isSoftwareRenderer(QString::fromLatin1(renderer)), software) << renderer;
}

TEST(WebViewGraphics, AGraphicsCardIsKnownByItsDeviceNodes)
{
    QTemporaryDir devices;
    const auto has = [&](const QString& node) {
        QDir(devices.path()).mkpath(QFileInfo(devices.filePath(node)).path());
        QFile(devices.filePath(node)).open(QIODevice::WriteOnly);
        return hasGraphicsDevice(devices.path());
    };
    EXPECT_FALSE(hasGraphicsDevice(devices.path())) << "nothing there";
    EXPECT_FALSE(has(QStringLiteral("dri/by-path/pci-0000:00:02.0-render"))) << "links' folder only";
    EXPECT_FALSE(has(QStringLiteral("nvidiactl"))) << "NVIDIA's control node names no card";
    EXPECT_TRUE(has(QStringLiteral("nvidia0")));
    QDir(devices.path()).remove(QStringLiteral("nvidia0"));
    EXPECT_TRUE(has(QStringLiteral("dri/card0")));
    QDir(devices.path()).remove(QStringLiteral("dri/card0"));
    EXPECT_TRUE(has(QStringLiteral("dri/renderD128")));
}

// Qt Quick's variables name the user's backend; OpenGL is its own choice here.
TEST(WebViewGraphics, QtQuicksVariablesTellWhetherItComposesWithOpenGL)
{
    const struct
    {
        const char* sceneGraphBackend;
        const char* graphicsApi;
        bool openGL;
    } cases[] {
        { "", "", true },
        { "", "opengl", true },
        { "rhi", "gl", true },
        { "", "OpenGL", true },
        { "software", "", false },
        { "softwarecontext", "opengl", false },
        { "openvg", "", false },
        { "", "vulkan", false },
        { "rhi", "null", false },
    };
    for (const auto& [backend, api, openGL] : cases)
        EXPECT_EQ(quickComposesWithOpenGL(QString::fromLatin1(backend), QString::fromLatin1(api)), openGL)
            << backend << " / " << api;
}

// Without a graphics card the web view draws in software, and the shared context it still needs is there
// by the time a web view is made (the test program's start makes it, as the delegate does once the window
// is on screen). The web view's module sets Qt Quick's renderer as it makes the application's view.
TEST(WebViewGraphics, WithoutAGraphicsCardTheWebViewDrawsInSoftwareBesideAMadeSharedContext)
{
    if (hasGraphicsDevice())
        GTEST_SKIP() << "this machine has a graphics card";
    EXPECT_TRUE(webViewDrawnInSoftware());
    EXPECT_FALSE(webViewComposedWithOpenGL());
    ASSERT_NE(QOpenGLContext::globalShareContext(), nullptr);
    EXPECT_TRUE(QOpenGLContext::globalShareContext()->isValid());
    EXPECT_FALSE(QCoreApplication::testAttribute(Qt::AA_ShareOpenGLContexts));
    TestApplication application;
    application.awake();
    ASSERT_TRUE(application.delegate.webView);
    EXPECT_EQ(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
}

// Where the processor draws OpenGL, the main window must be composed without it: a repaint of the clip
// table then costs the table's drawing alone, not a software-drawn pass over the whole window. An OpenGL
// widget anywhere in the window (the player's picture, the web view on OpenGL) turns it back.
TEST(WebViewGraphics, TheWindowIsComposedWithOpenGLOnlyWhereAGraphicsCardDrawsIt)
{
    TestApplication application;
    application.awake();
    ASSERT_TRUE(application.show());
    const QString renderer = openGLRenderer();
    ASSERT_FALSE(renderer.isEmpty());
    EXPECT_EQ(application.window()->windowHandle()->surfaceType(),
        isSoftwareRenderer(renderer) ? QSurface::RasterSurface : QSurface::OpenGLSurface)
        << qPrintable(renderer);
}

// At launch the window shows before the web view is made. Where the view is composed with OpenGL, the
// window must have had an OpenGL surface from the start: one shown without it is made anew when the view
// arrives, and the logger sees it vanish and come back. CTest runs this once more with Qt Quick on OpenGL.
TEST(WebViewGraphics, TheWindowShownBeforeTheWebViewKeepsItsNativeWindowWhenTheViewArrives)
{
    TestApplication application;
    application.delegate.awakeFromNib();
    ASSERT_TRUE(application.show());
    const WId shown = application.window()->winId();
    EXPECT_EQ(application.window()->windowHandle()->surfaceType(),
        webViewComposedWithOpenGL() ? QSurface::OpenGLSurface : QSurface::RasterSurface);
    application.delegate.setUpWebView();
    ASSERT_TRUE(application.delegate.webView);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(application.delegate.webView->window()));
    EXPECT_EQ(application.window()->winId(), shown);
}

}
