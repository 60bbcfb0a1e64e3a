#include "LogFormSession.h"

#include "core/BuildConfig.h"
#include "logform/LogServiceAddress.h"
#include "logform/SignInPage.h"
#include "support/WebEngineView.h"

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<LogServiceProcess> runningService;

class ServiceEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        runningService = std::make_unique<LogServiceProcess>();
        ASSERT_TRUE(runningService->start());
        ASSERT_TRUE(runningService->addAccount(u"jsmith"_s, u"s3cret"_s));
        ASSERT_TRUE(runningService->addAccount(u"newcomer"_s, LogFormSession::newcomerPassword));
        // Whatever port an address names, the service's host reaches the service.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", runningService->chromiumFlags(LogFormSession::buildHost));
    }
    void TearDown() override { runningService.reset(); }
};
const testing::Environment* const serviceEnvironment
    = testing::AddGlobalTestEnvironment(new ServiceEnvironment);

}

const QString LogFormSession::buildHost = QString::fromLatin1(BuildConfig::logServiceHost);
const QString LogFormSession::newcomerPassword = u"n3w \"pass\""_s;

LogServiceProcess& LogFormSession::service()
{
    return *runningService;
}

LogFormSession::LogFormSession(const QString& host)
    : application(host)
    , signInPage(signInPageURL(host).toString())
    , formPage(LogServiceAddress::page(host, u"/index.php/logger/form"_s).toString())
{
}

void LogFormSession::SetUp()
{
    // The web view keeps its cookies under HOME.
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_DATA_HOME");
    application.awake();
    // Connected after the application's own handler: a page is noted once its filling has been asked for.
    QObject::connect(page(), &QWebEnginePage::loadFinished, &delegate, [this](bool ok) {
        if (ok)
            finishedPages.append(page()->url().toString());
    });
    // Signed out, the log form leads to the sign-in page.
    ASSERT_TRUE(showsPage(signInPage));
}

QWebEnginePage* LogFormSession::page() const
{
    return webEngineView(delegate)->page();
}

bool LogFormSession::showsPage(const QString& address)
{
    if (!QTest::qWaitFor([&] { return finishedPages.indexOf(address, seen) >= 0; }, pageLimitMs))
        return false;
    seen = finishedPages.indexOf(address, seen) + 1;
    return true;
}

QVariant LogFormSession::evaluate(const QString& script)
{
    // The result is shared with the callback, which the page may still call after a wait that timed out.
    const auto value = std::make_shared<std::optional<QVariant>>();
    page()->runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [value](const QVariant& result) { *value = result; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return value->has_value(); }, pageLimitMs));
    return value->value_or(QVariant());
}

bool LogFormSession::signsIn()
{
    evaluate(u"document.getElementById('sign_in').click()"_s);
    return showsPage(formPage);
}

bool LogFormSession::signsInAs(const QString& username, const QString& password)
{
    delegate.username = username;
    delegate.password = password;
    delegate.loadInWebView(QUrl(signInPage));
    return showsPage(signInPage) && signsIn();
}

void LogFormSession::storeNote(const QString& text)
{
    const QString script
        = u"document.getElementById('note').value = %1; document.getElementById('store').click()"_s;
    evaluate(script.arg(u"decodeURIComponent('%1')"_s.arg(QString::fromLatin1(QUrl::toPercentEncoding(text)))));
    ASSERT_TRUE(service().waitForRequest(u"request POST /index.php/logger/notes"_s, pageLimitMs));
}
