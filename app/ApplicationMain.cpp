#include "app/ApplicationMain.h"
#include "app/AppDelegate.h"
#include "core/BusyWait.h"
#include "core/Console.h"
#include "app/MainInterface.h"
#include "core/Heap.h"
#include "core/Platform.h"
#include "app/SingleInstance.h"
#include "app/WebViewGraphics.h"
#include "move/AppMover.h"

#include "core/BuildConfig.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QTranslator>

#include <clocale>

void prepareProcess()
{
    Heap::limitArenas();
    // The web view on OpenGL needs Qt's contexts shared.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void configureApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("FernwrightSystem"));
    QCoreApplication::setApplicationName(QString::fromLatin1(BuildConfig::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildConfig::applicationVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("tapescribe"));
    // libmpv parses numbers with the C library and refuses to start under a locale with a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    chooseWebViewGraphics();
    BusyWait::install();
}

void installTranslations(QCoreApplication& application)
{
    const QLocale language;
    const QString ownFolder = Platform::translationsFolder();
    // Installs what `load` finds, unless it is the file `installed` already; the file, or nothing.
    const auto install = [&application](const auto& load, const QString& installed = {}) {
        auto* translator = new QTranslator(&application);
        if (load(*translator) && translator->filePath() != installed) {
            QCoreApplication::installTranslator(translator);
            return translator->filePath();
        }
        delete translator;
        return QString();
    };
    // English first: Qt asks the translator installed last first, so English answers only what the
    // language's own catalogue does not, and everything in a language tapeScribe has none for (LANG=C
    // among them). The sources' plural messages ("%n second(s)") get their English forms from it.
    const QString english = install(
        [&](QTranslator& translator) { return translator.load(QStringLiteral("tapescribe_en"), ownFolder); });
    install(
        [&](QTranslator& translator) {
            return translator.load(language, QStringLiteral("tapescribe"), QStringLiteral("_"), ownFolder);
        },
        english);
    // Qt's own texts: the standard buttons, the file dialogs and the text fields' menus.
    install([&](QTranslator& translator) {
        return translator.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
}

int applicationMain(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();
    installTranslations(application);

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

    // Should the move switch to a copy that runs elsewhere, this process must not be the one the copy it
    // starts hands over to.
    AppMover::shared().leaveSingleInstance = [&instance] { instance.release(); };
    delegate.applicationWillFinishLaunching();
    interface.mainWindow()->show();
    delegate.applicationDidFinishLaunching();
    // Paths given at launch open without raising the main window over a preferences window that the
    // launch brought forward.
    if (!paths.isEmpty())
        QMetaObject::invokeMethod(&delegate, [&delegate, paths] { delegate.openPaths(paths); }, Qt::QueuedConnection);
    return QApplication::exec();
}
