#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "app/Spinner.h"
#include "logform/SignInPage.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

constexpr int pageLimitMs = 60000;

// Pages written by the test, loaded under the address the test chooses: the sign-in page's own address
// among them, with whatever elements a case needs. No host is reached.
class SignInFilling : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Before the first web engine object of the process: every host fails at once, so the log form
        // that the interface set-up requests cannot get in the way.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "\"--host-resolver-rules=MAP * ~NOTFOUND\"");
    }

    void SetUp() override
    {
        interface.connectTo(delegate);
        delegate.awakeFromNib();
    }

    QWebEnginePage* page() const { return delegate.webView->page(); }

    // Loads `body` at `address` and waits until the load has finished and the handler has run.
    void load(const QString& body, const QString& address)
    {
        QSignalSpy finished(page(), &QWebEnginePage::loadFinished);
        page()->setHtml(
            QStringLiteral("<!DOCTYPE html><html><body>") + body + QStringLiteral("</body></html>"),
            QUrl(address));
        ASSERT_TRUE(QTest::qWaitFor([&] { return finished.contains(QVariantList { true }); }, pageLimitMs));
        ASSERT_EQ(page()->url().toString(), address);
    }

    // Runs `script` in the world the filling runs in, after it: a fill that was going to happen has happened.
    QVariant evaluate(const QString& script)
    {
        QVariant value;
        bool answered = false;
        page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& result) {
            value = result;
            answered = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, pageLimitMs));
        return value;
    }

    // The two inputs' values, or "(none)" for an input that is missing.
    QStringList fieldValues()
    {
        return evaluate(QStringLiteral("['identity', 'password'].map(function (id) {"
                                       "    const e = document.getElementById(id);"
                                       "    return e ? e.value : '(none)'; })"))
            .toStringList();
    }

    AppDelegate delegate;
    MainInterface interface;
};

const QString signInForm = QStringLiteral("<form method='post'><input id='identity' value='preset'>"
                                          "<input id='password' type='password' value='preset'>"
                                          "<button id='sign_in' type='submit'>Sign in</button></form>");

TEST_F(SignInFilling, WritesTheAccountAsLiteralTextWhateverItHolds)
{
    for (const auto& [username, password] : {
             std::pair { QStringLiteral("jsmith"), QStringLiteral("s3cret") },
             std::pair { QStringLiteral("'); alert(1); //"),
                 QStringLiteral("\"); document.body.innerHTML = ''; //") },
             std::pair {
                 QStringLiteral("</script><script>alert(1)</script>"), QStringLiteral("%1 %2 ${x} `y`") },
             std::pair {
                 QStringLiteral("back\\slash\\\\ \\n \\u0041"), QStringLiteral("line\u2028sep\u2029para") },
             std::pair { QString(), QString() },
         }) {
        delegate.username = username;
        delegate.password = password;
        load(signInForm, signInPageURL());
        EXPECT_EQ(fieldValues(), (QStringList { username, password })) << username.toStdString();
    }
}

TEST_F(SignInFilling, FillsOnlyTheSignInPageItself)
{
    delegate.username = QStringLiteral("jsmith");
    delegate.password = QStringLiteral("s3cret");
    for (const QString& elsewhere : { signInPageURL() + QStringLiteral("?next=form"),
             signInPageURL() + QStringLiteral("/"), signInPageURL() + QStringLiteral("#top"),
             QString(signInPageURL()).replace(QStringLiteral("https:"), QStringLiteral("http:")),
             QString(signInPageURL())
                 .replace(QStringLiteral("/users/login"), QStringLiteral("/users/LOGIN")) }) {
        load(signInForm, elsewhere);
        EXPECT_EQ(fieldValues(), (QStringList { QStringLiteral("preset"), QStringLiteral("preset") }))
            << elsewhere.toStdString();
    }
}

TEST_F(SignInFilling, FillsWhatThePageHasAndOnlyWhenItHasASignInControl)
{
    delegate.username = QStringLiteral("jsmith");
    delegate.password = QStringLiteral("s3cret");

    load(QStringLiteral("<input id='identity' value='preset'><input id='password' value='preset'>"),
        signInPageURL());
    EXPECT_EQ(fieldValues(), (QStringList { QStringLiteral("preset"), QStringLiteral("preset") }));

    load(QStringLiteral("<input id='password' value='preset'><a id='sign_in'>Sign in</a>"), signInPageURL());
    EXPECT_EQ(fieldValues(), (QStringList { QStringLiteral("(none)"), QStringLiteral("s3cret") }));

    load(QStringLiteral("<input id='identity' value='preset'><span id='sign_in'></span>"), signInPageURL());
    EXPECT_EQ(fieldValues(), (QStringList { QStringLiteral("jsmith"), QStringLiteral("(none)") }));
}

TEST_F(SignInFilling, NeverPressesTheSignInControl)
{
    delegate.username = QStringLiteral("jsmith");
    delegate.password = QStringLiteral("s3cret");
    load(QStringLiteral(
             "<form onsubmit='document.body.dataset.seen += \" submitted\"; return false'>"
             "<input id='identity'><input id='password'>"
             "<button id='sign_in' onclick='document.body.dataset.seen += \" pressed\"'>Sign in</button>"
             "</form><script>document.body.dataset.seen = 'loaded'</script>"),
        signInPageURL());
    EXPECT_EQ(fieldValues(), (QStringList { QStringLiteral("jsmith"), QStringLiteral("s3cret") }));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.dataset.seen")).toString(), QStringLiteral("loaded"));
}

TEST_F(SignInFilling, EveryFinishedLoadStopsTheSpinner)
{
    for (const QString& address : { signInPageURL(), QStringLiteral("https://elsewhere.test/") }) {
        delegate.webSpinner->startAnimation();
        load(QStringLiteral("<p>page</p>"), address);
        EXPECT_FALSE(delegate.webSpinner->isAnimating()) << address.toStdString();
    }
}

}
