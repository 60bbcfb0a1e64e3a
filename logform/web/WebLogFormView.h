#pragma once

#include "logform/LogFormView.h"
#include "logform/web/WebPage.h"

#include <QPointer>
#include <QWebEngineProfile>

class QWebEngineView;
class WebRequestLimit;

// The log form's view on Qt WebEngine: a QWebEngineView in the pane, showing a WebPage of a named,
// persistent profile whose cookie store accepts every cookie.
class WebLogFormView final : public LogFormView
{
public:
    WebLogFormView(QWidget* pane, const Settings& settings, Handlers handlers);
    ~WebLogFormView() override;

    QWidget* view() const override;
    void load(const QUrl& address, std::chrono::milliseconds limit) override;
    QUrl url() const override;
    void runScript(const QString& script, std::function<void(const QVariant& result)> done) override;
    void setCookie(const QNetworkCookie& cookie, const QUrl& origin) override;

private:
    const Handlers handlers;
    QWebEngineProfile profile;
    WebPage page; // declared after the profile: a page must go before its profile
    WebRequestLimit* requestLimit; // owned by the page
    QPointer<QWebEngineView> webView; // owned by the pane
};
