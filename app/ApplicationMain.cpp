#include "app/ApplicationMain.h"
#include "app/AppDelegate.h"
#include "app/ApplicationStyle.h"
#include "app/FontSetUp.h"
#include "app/MainInterface.h"
#include "app/SingleInstance.h"
#include "app/WebViewGraphics.h"
#include "core/BusyWait.h"
#include "core/Console.h"
#include "core/Heap.h"
#include "core/Platform.h"
#include "move/AppMover.h"

#include "core/BuildConfig.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <chrono>
#include <clocale>
#include <utility>

namespace {

// Runs its step once the window it watches has been drawn on the screen for the first time.
class FirstDrawing : public QObject
{
public:
    FirstDrawing(QWidget* window, std::function<void()> step)
        : QObject(window)
        , step(std::move(step))
    {
        QWindow* handle = window->windowHandle();
        // Where showing draws at once, the window has been drawn already.
        if (handle->isExposed())
            QMetaObject::invokeMethod(this, &FirstDrawing::takeStep, Qt::QueuedConnection);
        handle->installEventFilter(this);
        // A window that the desktop keeps off the screen (started minimised, on another workspace) is
        // not drawn until the logger brings it up; the start-up does not wait for that.
        QTimer::singleShot(patience, this, &FirstDrawing::takeStep);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window draws itself as it handles its exposure: the step comes after, from the event loop.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QMetaObject::invokeMethod(this, &FirstDrawing::takeStep, Qt::QueuedConnection);
        return false;
    }

private:
    void takeStep()
    {
        if (!step)
            return;
        const std::function<void()> once = std::exchange(step, nullptr);
        once();
        deleteLater();
    }

    static constexpr std::chrono::milliseconds patience { 1000 };
    std::function<void()> step;
};

// Runs `step` from the event loop once `window`, shown, has been drawn on the screen.
void whenDrawn(QWidget* window, std::function<void()> step)
{
    new FirstDrawing(window, std::move(step));
}

}

void prepareProcess()
{
    Heap::limitArenas();
    prepareWebViewGraphics();
}

void configureApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("FernwrightSystem"));
    QCoreApplication::setApplicationName(QString::fromLatin1(BuildConfig::applicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(BuildConfig::applicationVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("tapescribe"));
    // libmpv parses numbers with the C library and refuses to start under a locale with a decimal comma.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setStyle(new ApplicationStyle);
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
    FontSetUp fontSetUp;
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

    fontSetUp.finish();
    // The delegate outlives the windows, so the web page and its profile go after the web view.
    AppDelegate delegate;
    MainInterface interface;
    interface.connectTo(delegate);

    QGuiApplication::setQuitOnLastWindowClosed(AppDelegate::applicationShouldTerminateAfterLastWindowClosed());
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    QObject::connect(&instance, &SingleInstance::activationRequested, &delegate, &AppDelegate::activateWithPaths);

    // Should the move switch to a copy that runs elsewhere, this process must not be the one the copy it
    // starts hands over to.
    AppMover::shared().leaveSingleInstance = [&instance] { instance.release(); };
    launch(delegate, interface, [&delegate, paths] {
        // Paths given at launch open without raising the main window over a preferences window that the
        // launch brought forward.
        if (!paths.isEmpty())
            QMetaObject::invokeMethod(&delegate, [&delegate, paths] { delegate.openPaths(paths); }, Qt::QueuedConnection);
    });
    return QApplication::exec();
}

void launch(AppDelegate& delegate, MainInterface& interface, const std::function<void()>& launched)
{
    delegate.awakeFromNib();
    QMainWindow* window = interface.mainWindow();
    window->show();
    whenDrawn(window, [&delegate, launched] {
        delegate.setUpWebView();
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching();
        launched();
    });
}
