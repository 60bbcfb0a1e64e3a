#include "support/LogServiceProcess.h"

#include <gtest/gtest.h>

#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <memory>
#include <optional>

namespace {

constexpr int loadTimeoutMs = 60000;
const QString host = QStringLiteral("logs.tapescribe.test");

QUrl serviceUrl(const QString& path)
{
    return QUrl(QStringLiteral("https://%1%2").arg(host, path));
}

// Runs a script in the page and waits for its result. The result is shared with the callback, which the
// page may still call after a wait that timed out.
QVariant evaluate(QWebEnginePage& page, const QString& script)
{
    const auto result = std::make_shared<std::optional<QVariant>>();
    page.runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, loadTimeoutMs))
        return {};
    return **result;
}

bool load(QWebEngineView& view, const QUrl& url)
{
    QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
    view.load(url);
    return loaded.wait(loadTimeoutMs) && loaded.first().at(0).toBool();
}

// Shows `html` as a page of another site and runs `script` in it, which leaves for the log service; waits
// until the service's answer has loaded.
void leaveAnotherSitesPage(QWebEnginePage& page, const QString& html, const QString& script)
{
    QSignalSpy shown(&page, &QWebEnginePage::loadFinished);
    page.setHtml(html, QUrl(QStringLiteral("https://elsewhere.example/")));
    ASSERT_TRUE(shown.wait(loadTimeoutMs));
    QSignalSpy left(&page, &QWebEnginePage::loadFinished);
    evaluate(page, script);
    ASSERT_TRUE(left.wait(loadTimeoutMs));
}

// The route the application takes to the log service: Chromium resolves the service's host name to the
// local service and accepts its certificate by its pinned public key, and no other certificate. Along it the
// form's clock follows the time_offset cookie and Enter stores a note stamped by it.
TEST(LogServiceWebRoute, SignedOutFormEndsOnSignInTheFormRunsOnTheCookieAndOtherCertificatesFail)
{
    LogServiceProcess service;
    ASSERT_TRUE(service.start());
    ASSERT_TRUE(service.addAccount(QStringLiteral("ann"), QStringLiteral("s3cret")));
    // Read once, when the first web engine object is made.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", service.chromiumFlags(host));
    QWebEngineProfile profile;
    QWebEngineView view; // Destroyed before the profile, as pages must be.
    QWebEnginePage& page = *new QWebEnginePage(&profile, &view);
    view.setPage(&page);
    view.resize(900, 700);
    view.show();

    ASSERT_TRUE(load(view, serviceUrl(QStringLiteral("/index.php/logger/form"))));
    EXPECT_EQ(page.url(), serviceUrl(QStringLiteral("/users/login")));
    ASSERT_TRUE(evaluate(page, QStringLiteral("document.getElementById('sign_in') !== null")).toBool());
    // The application fills the fields by script; the page's security policy must leave that working.
    QSignalSpy loaded(&page, &QWebEnginePage::loadFinished);
    evaluate(page,
        QStringLiteral("document.getElementById('identity').value = 'ann';"
                       "document.getElementById('password').value = 's3cret';"
                       "document.getElementById('sign_in').click();"));
    ASSERT_TRUE(loaded.wait(loadTimeoutMs));
    ASSERT_EQ(page.url(), serviceUrl(QStringLiteral("/index.php/logger/form")));
    const QString clockScript = QStringLiteral("document.getElementById('clip_clock').textContent");
    EXPECT_EQ(evaluate(page, clockScript).toString(), QStringLiteral("no clip"));

    QNetworkCookie offset("time_offset", "3600.0");
    offset.setPath(QStringLiteral("/"));
    profile.cookieStore()->setCookie(offset, serviceUrl(QStringLiteral("/")));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QTime shown
                = QTime::fromString(evaluate(page, clockScript).toString(), QStringLiteral("HH:mm:ss"));
            const int lag = shown.isValid() ? shown.secsTo(QTime::currentTime().addSecs(-3600)) : 99;
            return std::abs(lag) <= 2 || std::abs(lag) >= 86400 - 2;
        },
        loadTimeoutMs))
        << "the clock shows an hour ago";
    QTest::keyClicks(view.focusProxy(), QStringLiteral("slate one"));
    QTest::keyClick(view.focusProxy(), Qt::Key_Return);
    EXPECT_TRUE(service.waitForRequest(
        QStringLiteral("request POST /index.php/logger/notes time_offset=3600.0"), loadTimeoutMs));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return evaluate(page,
                       QStringLiteral("(document.querySelector('#notes .text') || {}).textContent + '|' + "
                                      "document.getElementById('note').value"))
                       .toString()
                == QStringLiteral("slate one|");
        },
        loadTimeoutMs))
        << "the note is listed and the box is empty again";
    for (const QString& line : service.requestLines())
        EXPECT_FALSE(line.contains(QStringLiteral("s3cret"))) << qPrintable(line);

    // Chromium says where each request comes from: a link on another site to sign out only asks, a
    // sign-in form posted from there is refused, and the program's own load of the sign-out page signs out.
    leaveAnotherSitesPage(page,
        QStringLiteral("<a id=\"out\" href=\"%1\">out</a>")
            .arg(serviceUrl(QStringLiteral("/index.php/users/logout")).toString()),
        QStringLiteral("document.getElementById('out').click()"));
    EXPECT_EQ(page.url(), serviceUrl(QStringLiteral("/index.php/users/logout")));
    EXPECT_TRUE(evaluate(page, QStringLiteral("document.getElementById('sign_out') !== null")).toBool())
        << "the question instead";
    ASSERT_TRUE(load(view, serviceUrl(QStringLiteral("/index.php/logger/form"))));
    EXPECT_EQ(page.url(), serviceUrl(QStringLiteral("/index.php/logger/form"))) << "still signed in";

    ASSERT_TRUE(load(view, serviceUrl(QStringLiteral("/index.php/users/logout"))));
    EXPECT_EQ(page.url(), serviceUrl(QStringLiteral("/users/login"))) << "the program's own load signs out";

    leaveAnotherSitesPage(page,
        QStringLiteral("<form id=\"in\" method=\"post\" action=\"%1\"><input name=\"identity\" value=\"ann\">"
                       "<input name=\"password\" value=\"s3cret\"></form>")
            .arg(serviceUrl(QStringLiteral("/users/login")).toString()),
        QStringLiteral("document.getElementById('in').submit()"));
    EXPECT_TRUE(evaluate(page, QStringLiteral("document.body.innerText"))
                    .toString()
                    .contains(QLatin1String("another site")));
    ASSERT_TRUE(load(view, serviceUrl(QStringLiteral("/index.php/logger/form"))));
    EXPECT_EQ(page.url(), serviceUrl(QStringLiteral("/users/login"))) << "not signed in from elsewhere";

    LogServiceProcess decoy;
    ASSERT_TRUE(decoy.start());
    ASSERT_NE(decoy.spki(), service.spki());
    EXPECT_FALSE(load(view, QUrl(QStringLiteral("https://127.0.0.1:%1/users/login").arg(decoy.httpsPort()))));
    EXPECT_TRUE(decoy.requestLines().isEmpty());
}

}
