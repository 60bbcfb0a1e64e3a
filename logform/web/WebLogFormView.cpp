#include "logform/web/WebLogFormView.h"
#include "logform/web/WebRequestLimit.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QQuickWindow>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// A download as the engine asks for it: answered while its handler runs, then followed to its end.
class EngineDownload final : public FormDownloadRequest
{
public:
    explicit EngineDownload(QWebEngineDownloadRequest* download)
        : download(download)
    {
    }

    QUrl url() const override { return download->url(); }
    QString suggestedFileName() const override { return download->suggestedFileName(); }
    void cancel() override { download->cancel(); }

    void save(const QString& path, EndingHandler ended) override
    {
        const QFileInfo target(path);
        download->setDownloadDirectory(target.absolutePath());
        download->setDownloadFileName(target.fileName());
        QObject::connect(download, &QWebEngineDownloadRequest::isFinishedChanged, download,
            [download = download, ended = std::move(ended)] {
                const QString written
                    = QFileInfo(QDir(download->downloadDirectory()), download->downloadFileName()).filePath();
                switch (download->state()) {
                case QWebEngineDownloadRequest::DownloadCompleted:
                    ended(Ending::Saved, written, {});
                    break;
                case QWebEngineDownloadRequest::DownloadInterrupted:
                    ended(Ending::Interrupted, written, download->interruptReasonString());
                    break;
                case QWebEngineDownloadRequest::DownloadCancelled:
                    ended(Ending::Cancelled, written, {});
                    break;
                default:
                    break;
                }
            });
        download->accept();
    }

private:
    QWebEngineDownloadRequest* download;
};

}

WebLogFormView::WebLogFormView(QWidget* pane, const Settings& settings, Handlers handlers)
    : handlers(std::move(handlers))
    , profile(settings.profileName)
    , page(&profile)
    , requestLimit(new WebRequestLimit(&page))
    , webView(new QWebEngineView(pane))
{
    pane->layout()->addWidget(webView);
    // The page draws no background of its own.
    page.setBackgroundColor(Qt::transparent);
    webView->setPage(&page);
    profile.settings()->setFontSize(QWebEngineSettings::DefaultFontSize, settings.defaultFontSize);
    profile.cookieStore()->setCookieFilter([](const QWebEngineCookieStore::FilterRequest&) { return true; });

    QObject::connect(
        &page, &QWebEnginePage::loadFinished, &page, [this](bool ok) { this->handlers.loadFinished(ok); });
    QObject::connect(&profile, &QWebEngineProfile::downloadRequested, &profile,
        [this](QWebEngineDownloadRequest* request) {
            EngineDownload download(request);
            this->handlers.downloadRequested(download);
        });
    QObject::connect(requestLimit, &WebRequestLimit::expired, &page,
        [this](const QUrl& address, std::chrono::milliseconds limit) {
            this->handlers.requestExpired(address, limit);
        });
}

WebLogFormView::~WebLogFormView() = default;

QWidget* WebLogFormView::view() const
{
    return webView;
}

void WebLogFormView::load(const QUrl& address, std::chrono::milliseconds limit)
{
    page.load(address);
    requestLimit->start(address, limit);
}

QUrl WebLogFormView::url() const
{
    return page.url();
}

void WebLogFormView::runScript(const QString& script, std::function<void(const QVariant& result)> done)
{
    page.runJavaScript(script, QWebEngineScript::ApplicationWorld, done);
}

void WebLogFormView::setCookie(const QNetworkCookie& cookie, const QUrl& origin)
{
    profile.cookieStore()->setCookie(cookie, origin);
}

extern "C" Q_DECL_EXPORT LogFormView* tapescribe_makeLogFormView(
    QWidget* pane, const LogFormView::Settings& settings, LogFormView::Handlers handlers)
{
    static_assert(std::is_same_v<decltype(tapescribe_makeLogFormView), LogFormViewMaker>);
    // Qt Quick fixes its graphics API when it makes its first window, which the first view makes.
    if (settings.drawnInSoftware)
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return new WebLogFormView(pane, settings, std::move(handlers));
}
