#include "logform/web/WebRequestLimit.h"
#include "logform/LogServiceAddress.h"
#include "logform/web/WebPage.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineNavigationRequest>

#include <algorithm>

WebRequestLimit::WebRequestLimit(WebPage* page)
    : QObject(page)
    , page(page)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [this, page] {
        const QUrl address = addresses.value(0);
        const auto limit = timer.intervalAsDuration();
        end();
        page->triggerAction(QWebEnginePage::Stop);
        emit expired(address, limit);
    });
    connect(page, &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest& request) {
        if (isRunning() && request.isMainFrame()
            && request.navigationType() == QWebEngineNavigationRequest::RedirectNavigation
            && !belongsToRequest(request.url()))
            addresses.append(request.url());
    });
    connect(page, &WebPage::documentCreated, this, [this](const QUrl& address) {
        if (belongsToRequest(address))
            end();
    });
    // A load that fails or is stopped before any document of its own arrives ends here.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& loading) {
        if (loading.status() != QWebEngineLoadingInfo::LoadStartedStatus && belongsToRequest(loading.url()))
            end();
    });
}

void WebRequestLimit::start(const QUrl& address, std::chrono::milliseconds limit)
{
    addresses = { address };
    timer.start(limit);
}

bool WebRequestLimit::belongsToRequest(const QUrl& address) const
{
    const QUrl page = address.adjusted(QUrl::RemoveFragment);
    return isRunning() && std::any_of(addresses.begin(), addresses.end(), [&](const QUrl& requested) {
        return LogServiceAddress::samePage(requested.adjusted(QUrl::RemoveFragment), page);
    });
}

void WebRequestLimit::end()
{
    timer.stop();
    addresses.clear();
}
