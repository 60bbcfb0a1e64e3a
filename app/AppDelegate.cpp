#include "app/AppDelegate.h"
#include "app/WebViewGraphics.h"
#include "core/CommandRunner.h"
#include "core/Console.h"
#include "core/Spinner.h"
#include "logform/LogFormViewModule.h"
#include "logform/LogServiceAddress.h"
#include "move/AppMover.h"

#include "core/BuildConfig.h"

#include <QLabel>
#include <QMainWindow>
#include <QSplitter>
#include <QTimer>

namespace {
// The web view keeps its own named, persistent set of preferences and cookies.
const QString webProfileName = QStringLiteral("com.FernwrightSystem.tapeScribe");
constexpr int webDefaultFontSize = 16;

constexpr std::chrono::seconds formatCheckPatience { 5 };

constexpr double minimumDividerCoordinate = 480.0;
constexpr double maximumDividerCoordinate = 910.0;
}

AppDelegate::AppDelegate(QObject* parent)
    : AppDelegate(QString::fromLatin1(BuildConfig::logServiceHost), parent)
{
}

AppDelegate::AppDelegate(const QString& logServiceHost, QObject* parent)
    : QObject(parent)
    , logServiceHost(logServiceHost)
    , formURL(defaultFormURL(false))
{
}

AppDelegate::~AppDelegate() = default;

CommandResult AppDelegate::runCommand(const QString& launchPath, const QStringList& arguments,
                                      std::chrono::milliseconds deadline,
                                      const std::optional<QByteArray>& standardInput)
{
    return ::runCommand(launchPath, arguments, deadline, standardInput);
}

QUrl AppDelegate::defaultFormURL(bool fromLocalServer) const
{
    if (fromLocalServer)
        return QUrl(QStringLiteral("http://localhost:8888/FernwrightLogger/index.php/logger/form"));
    return LogServiceAddress::page(logServiceHost, QStringLiteral("/index.php/logger/form"));
}

void AppDelegate::awakeFromNib()
{
    webSpinner->startAnimation();
    if (useLocalServer)
        formURL = defaultFormURL(true);
    dateFormatter.setDateFormat(DateFormatter::recordingTimeFormat.toString());
}

void AppDelegate::setUpWebView()
{
    makeSharedContextForWebView();
    // The view's handlers go no further than the delegate's life: the view is the delegate's own.
    LogFormView::Handlers handlers {
        .loadFinished = [this](bool ok) { webViewDidFinishLoadForFrame(ok); },
        .downloadRequested = [this](FormDownloadRequest& download) { webViewDownloadRequested(&download); },
        .requestExpired
        = [this](const QUrl& url, std::chrono::milliseconds limit) { webRequestExpired(url, limit); },
    };
    QString error;
    logForm = LogFormViewModule::makeView(webViewPane,
        { webProfileName, webDefaultFontSize, webViewDrawnInSoftware() }, std::move(handlers), &error);
    if (!logForm) {
        consoleLine(QStringLiteral("setUpWebView: the web view could not be loaded: ") + error);
        webSpinner->stopAnimation();
        label->setText(tr("The log form cannot be shown: tapeScribe's web view is missing or damaged. "
                          "Reinstalling tapeScribe should mend it."));
        return;
    }
    webView = logForm->view();

    loadInWebView(formURL);
    startReadingNotes();
}

void AppDelegate::loadInWebView(const QUrl& url)
{
    if (logForm)
        logForm->load(url, webRequestLimit);
}

void AppDelegate::webRequestExpired(const QUrl& url, std::chrono::milliseconds limit)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(limit).count();
    consoleLine(QStringLiteral("loadInWebView: no answer from %1 within %2 s, stopped")
                    .arg(url.toString(), QString::number(seconds)));
    label->setText(tr("The log service did not answer within %n second(s).", nullptr, int(seconds)));
}

void AppDelegate::applicationWillTerminate() { }

void AppDelegate::activateWithPaths(const QStringList& paths)
{
    if (window->isMinimized())
        window->showNormal();
    window->raise();
    window->activateWindow();
    openPaths(paths);
}

double AppDelegate::splitViewConstrainMinCoordinate(double, int)
{
    return minimumDividerCoordinate;
}

double AppDelegate::splitViewConstrainMaxCoordinate(double, int)
{
    return maximumDividerCoordinate;
}

bool AppDelegate::splitViewCanCollapseSubview(int)
{
    return false;
}

void AppDelegate::applySplitViewLimits(QSplitter* splitter)
{
    // A horizontal splitter's divider sits where its first pane ends, so holding that pane between the
    // two coordinates holds the divider there, whether it is dragged, moved by keyboard, or pushed by a
    // resize of the window. The last pane takes what is left and keeps its own minimum.
    QWidget* firstPane = splitter->widget(0);
    firstPane->setMinimumWidth(int(splitViewConstrainMinCoordinate(0, 0)));
    firstPane->setMaximumWidth(int(splitViewConstrainMaxCoordinate(0, 0)));
    for (int i = 0; i < splitter->count(); ++i)
        splitter->setCollapsible(i, splitViewCanCollapseSubview(i));
}

void AppDelegate::applicationWillFinishLaunching()
{
    AppMover::shared().moveToApplicationsFolderIfNecessary();
}

void AppDelegate::applicationDidFinishLaunching()
{
    // The format check loads libmpv with FFmpeg, some eighty libraries. Run beside the web engine's start,
    // even on a thread of its own at the lowest priority, it held the log form's first page up by 60-90 ms
    // here: it waits until that page has ended, or for its patience, should the service not answer.
    QTimer::singleShot(formatCheckPatience, this, &AppDelegate::checkProfessionalFormats);
    loadCredentialsFromKeychain();
}
