#include "support/LogServiceProcess.h"

#include <gtest/gtest.h>

#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>

namespace {

constexpr int loadTimeoutMs = 60000;
const QString host = QStringLiteral("logs.tapescribe.test");

QUrl serviceUrl(const QString& path)
{
    return QUrl(QStringLiteral("https://%1%2").arg(host, path));
}

// Runs a script in the page and waits for its result.
QVariant evaluate(QWebEnginePage& page, const QString& script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant& value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, loadTimeoutMs))
        return {};
    return result;
}

// The route the application takes to the log service: Chromium resolves the service's host name to the
// local service and accepts its certificate by its pinned public key, and no other certificate.
class LogServiceWebRoute : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        service = std::make_unique<LogServiceProcess>();
        ASSERT_TRUE(service->start());
        ASSERT_TRUE(service->addAccount(QStringLiteral("ann"), QStringLiteral("s3cret")));
        // Read once, when the first web engine object is made.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", service->chromiumFlags(host));
        profile = new QWebEngineProfile(QStringLiteral("logservice-route-test"));
        profile->setPersistentStoragePath(storage.path());
    }

    static void TearDownTestSuite()
    {
        delete profile;
        service.reset();
    }

    void SetUp() override
    {
        page = new QWebEnginePage(profile, &view);
        view.setPage(page);
        view.resize(900, 700);
        view.show();
    }

    bool load(const QUrl& url)
    {
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        view.load(url);
        return loaded.wait(loadTimeoutMs) && loaded.first().at(0).toBool();
    }

    static inline std::unique_ptr<LogServiceProcess> service;
    static inline QWebEngineProfile* profile = nullptr;
    // The browser writes its last files while the application shuts down: the folder goes after that.
    static inline QTemporaryDir storage;
    // Destroyed before the profile, as pages must be.
    QWebEngineView view;
    QWebEnginePage* page = nullptr;
};

TEST_F(LogServiceWebRoute, SignedOutFormEndsOnTheSignInPageAndOtherCertificatesFail)
{
    ASSERT_TRUE(load(serviceUrl(QStringLiteral("/index.php/logger/form"))));
    EXPECT_EQ(page->url(), serviceUrl(QStringLiteral("/users/login")));
    EXPECT_TRUE(evaluate(*page, QStringLiteral("document.getElementById('sign_in') !== null")).toBool());
    // The application fills the fields by script; the page's security policy must leave that working.
    EXPECT_EQ(evaluate(*page,
                  QStringLiteral("document.getElementById('identity').value = 'ann'; "
                                 "document.getElementById('identity').value"))
                  .toString(),
        QStringLiteral("ann"));
    EXPECT_TRUE(service->waitForRequest(QStringLiteral("request GET /users/login"), loadTimeoutMs));

    LogServiceProcess decoy;
    ASSERT_TRUE(decoy.start());
    ASSERT_NE(decoy.spki(), service->spki());
    EXPECT_FALSE(load(QUrl(QStringLiteral("https://127.0.0.1:%1/users/login").arg(decoy.httpsPort()))));
    EXPECT_TRUE(decoy.requestLines().isEmpty());
}

TEST_F(LogServiceWebRoute, TheFormsClockRunsOnTheCookieAndEnterStoresANote)
{
    ASSERT_TRUE(load(serviceUrl(QStringLiteral("/users/login"))));
    QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
    evaluate(*page,
        QStringLiteral("document.getElementById('identity').value = 'ann';"
                       "document.getElementById('password').value = 's3cret';"
                       "document.getElementById('sign_in').click();"));
    ASSERT_TRUE(loaded.wait(loadTimeoutMs));
    ASSERT_EQ(page->url(), serviceUrl(QStringLiteral("/index.php/logger/form")));
    EXPECT_EQ(evaluate(*page, QStringLiteral("document.getElementById('clip_clock').textContent")).toString(),
        QStringLiteral("no clip"));

    QNetworkCookie offset("time_offset", "3600.0");
    offset.setPath(QStringLiteral("/"));
    profile->cookieStore()->setCookie(offset, serviceUrl(QStringLiteral("/")));
    const auto clockLagsOneHour = [&] {
        const QTime shown = QTime::fromString(
            evaluate(*page, QStringLiteral("document.getElementById('clip_clock').textContent")).toString(),
            QStringLiteral("HH:mm:ss"));
        const int lag = shown.isValid() ? shown.secsTo(QTime::currentTime().addSecs(-3600)) : 99;
        return std::abs(lag) <= 2 || std::abs(lag) >= 86400 - 2;
    };
    EXPECT_TRUE(QTest::qWaitFor(clockLagsOneHour, loadTimeoutMs));

    QTest::keyClicks(view.focusProxy(), QStringLiteral("slate one"));
    QTest::keyClick(view.focusProxy(), Qt::Key_Return);
    EXPECT_TRUE(service->waitForRequest(
        QStringLiteral("request POST /index.php/logger/notes time_offset=3600.0"), loadTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(*page,
                       QStringLiteral("(document.querySelector('#notes .text') || {}).textContent + '|' + "
                                      "document.getElementById('note').value"))
                       .toString()
                == QStringLiteral("slate one|");
        },
        loadTimeoutMs))
        << "the note is listed and the box is empty again";
}

}
