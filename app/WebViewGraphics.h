#pragma once

#include <QString>

class QWidget;

// Whether `renderer`, an OpenGL driver's name for itself (GL_RENDERER), draws on the processor: Mesa's
// llvmpipe, softpipe and swrast, Google's SwiftShader. A graphics card's driver may name the LLVM it
// compiles shaders with; that does not make it one of these.
bool isSoftwareRenderer(const QString& renderer);

// The name of the renderer that this machine's OpenGL contexts get; empty when none can be made.
QString openGLRenderer();

// Whether `devices` (the system's /dev) holds a graphics card's device node: a DRM render or card node, or
// one of NVIDIA's own. Without one, OpenGL can only be drawn by the processor.
bool hasGraphicsDevice(const QString& devices = QStringLiteral("/dev"));

// Called before the QGuiApplication is made. Where the machine has no graphics card, the shared OpenGL
// context that the web engine needs is made only once the window is on screen (makeSharedContextForWebView):
// making it loads the OpenGL driver, which took longer than showing a bare window, and such a window draws
// without OpenGL. Elsewhere Qt's OpenGL contexts are shared from the start, as the window that holds a web
// view on OpenGL is itself drawn with OpenGL.
void prepareWebViewGraphics();

// Makes the shared OpenGL context that prepareWebViewGraphics held off, if it did; before the first web view.
void makeSharedContextForWebView();

// Chooses how the web view draws: with OpenGL where a graphics card draws it, in software where OpenGL
// would be drawn by the processor anyway, or where there is none. A web view on OpenGL makes Qt compose its
// whole window with OpenGL on every repaint; done in software, that is ~20 ms of the main thread for each
// repaint of any widget in the window, where drawing the web view in software costs it nothing. A backend
// named in QT_QUICK_BACKEND or QSG_RHI_BACKEND is left as it is. Called once the QGuiApplication exists,
// before the first web view; where prepareWebViewGraphics chose software already, nothing is asked of
// OpenGL. Only the choice is made here: the web view's module, which alone loads Qt Quick, applies it.
void chooseWebViewGraphics();

// Whether chooseWebViewGraphics chose Qt Quick's software renderer for the web view.
bool webViewDrawnInSoftware();

// Whether Qt Quick composes its content with OpenGL under the backends named in QT_QUICK_BACKEND
// (`sceneGraphBackend`) and QSG_RHI_BACKEND (`graphicsApi`), either of them empty where it is not set:
// OpenGL is Qt Quick's own choice on this system, the software adaptation and the other graphics APIs are
// not.
bool quickComposesWithOpenGL(const QString& sceneGraphBackend, const QString& graphicsApi);

// Whether the web view, as chooseWebViewGraphics left it, is composed into its window with OpenGL.
bool webViewComposedWithOpenGL();

// Readies the window of `pane`, before it is first shown, for a web view that is made in `pane` once the
// window is on screen. A web view composed with OpenGL needs its window's native surface to be an OpenGL
// one; a window shown without it is destroyed and made anew when the view arrives, and the logger sees it
// vanish and come back. Nothing to do where the web view draws in software.
void prepareForWebView(QWidget* pane);
