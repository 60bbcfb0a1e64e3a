#include "app/ApplicationMain.h"
#include "app/AppDelegate.h"
#include "core/Console.h"
#include "app/MainInterface.h"
#include "core/Platform.h"
#include "app/SingleInstance.h"

#include "core/BuildConfig.h"

#include <QApplication>
#include <QLocale>
#include <QMainWindow>
#include <QTranslator>

#include <clocale>

void prepareGraphics()
{
    // The player's OpenGL widget and the web view share one window; they need shared contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The web view composites its page in software. With both the web view and the video surface drawing
    // through shared OpenGL contexts, Mesa's software renderer corrupted the heap in about one start in
    // six; a form page gains nothing from the GPU, and the video keeps it. A user's own choice stands.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
}

void configureApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("FernwrightSystem"));
    QCoreApplication::setApplicationName(QString::fromLatin1(BuildConfig::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildConfig::applicationVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("tapescribe"));
    // libmpv parses numbers with the C library and refuses to start under a locale with a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
}

int applicationMain(int argc, char** argv)
{
    prepareGraphics();
    QApplication application(argc, argv);
    configureApplication();
    // The user's language, where tapeScribe ships a translation for it; English otherwise.
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("tapescribe"), QStringLiteral("_"), Platform::translationsFolder()))
        QCoreApplication::installTranslator(&translator);

    const QStringList paths = QCoreApplication::arguments().mid(1);
    SingleInstance instance(SingleInstance::defaultSocketPath());
    switch (instance.claimOrHandOver(paths)) {
    case SingleInstance::Outcome::HandedOver:
        return 0;
    case SingleInstance::Outcome::Unreachable:
        consoleLine(QStringLiteral("Another tapeScribe holds the instance lock but does not answer; starting anyway"));
        break;
    case SingleInstance::Outcome::Claimed:
        break;
    }

    // The delegate outlives the windows, so the web page and its profile go after the web view.
    AppDelegate delegate;
    MainInterface interface;
    interface.connectTo(delegate);
    delegate.awakeFromNib();

    QGuiApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::activateWithPaths);

    delegate.applicationWillFinishLaunching();
    interface.mainWindow()->show();
    delegate.applicationDidFinishLaunching();
    // Paths given at launch open without raising the main window over a preferences window that the
    // launch brought forward.
    if (!paths.isEmpty())
        QMetaObject::invokeMethod(&delegate, [&delegate, paths] { delegate.openPaths(paths); }, Qt::QueuedConnection);
    return QApplication::exec();
}
