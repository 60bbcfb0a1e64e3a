#include "account/SignOutPage.h"
#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "app/Spinner.h"
#include "logform/SignInPage.h"
#include "support/LogServiceProcess.h"
#include "support/PrivateKeyring.h"

#include "BuildConfig.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>

namespace {

constexpr int pageLimitMs = 60000;

// tapeScribe on the local log service, from a first launch: the web view's profile starts empty.
class SignIn : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        service = std::make_unique<LogServiceProcess>();
        ASSERT_TRUE(service->start());
        ASSERT_TRUE(service->addAccount(QStringLiteral("jsmith"), QStringLiteral("s3cret")));
        ASSERT_TRUE(service->addAccount(QStringLiteral("newcomer"), QStringLiteral("n3w \"pass\"")));
        // Before the first web engine object of the process.
        qputenv(
            "QTWEBENGINE_CHROMIUM_FLAGS", service->chromiumFlags(QLatin1String(BuildConfig::logServiceHost)));
    }
    static void TearDownTestSuite() { service.reset(); }

    void SetUp() override
    {
        // The web view keeps its cookies under HOME.
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_DATA_HOME");
        interface.connectTo(delegate);
        delegate.awakeFromNib();
        // Connected after the application's own handler: a page is noted once its filling has been asked for.
        QObject::connect(page(), &QWebEnginePage::loadFinished, &delegate, [this](bool ok) {
            if (ok)
                finishedPages.append(page()->url().toString());
        });
        // Signed out, the log form leads to the sign-in page.
        ASSERT_TRUE(showsPage(signInPageURL()));
    }
    void TearDown() override { qputenv("HOME", previousHome); }

    QWebEnginePage* page() const { return delegate.webView->page(); }

    // Waits for the next finished load of `address`.
    bool showsPage(const QString& address)
    {
        if (!QTest::qWaitFor([&] { return finishedPages.indexOf(address, seen) >= 0; }, pageLimitMs))
            return false;
        seen = finishedPages.indexOf(address, seen) + 1;
        return true;
    }

    // A page written by the test, under the address it chooses.
    void load(const QString& body, const QString& address)
    {
        page()->setHtml(
            QStringLiteral("<!DOCTYPE html><html><body>") + body + QStringLiteral("</body></html>"),
            QUrl(address));
        ASSERT_TRUE(showsPage(address));
    }

    // Runs in the world the filling runs in, after it: a fill that was going to happen has happened.
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

    // The two inputs' values; "(none)" for one that is missing.
    QStringList fields()
    {
        return evaluate(
            QStringLiteral("['identity', 'password'].map(function (id) {"
                           "    const e = document.getElementById(id); return e ? e.value : '(none)'; })"))
            .toStringList();
    }

    void useAccount(const QString& username, const QString& password)
    {
        delegate.username = username;
        delegate.password = password;
    }

    // The logger presses the page's own sign-in control.
    void pressSignIn() { evaluate(QStringLiteral("document.getElementById('sign_in').click()")); }

    static inline std::unique_ptr<LogServiceProcess> service;
    const QByteArray previousHome = qgetenv("HOME");
    QTemporaryDir home;
    // Before the delegate, which owns the page that reports into them.
    QStringList finishedPages;
    qsizetype seen = 0;
    AppDelegate delegate;
    MainInterface interface;
    const QString logForm = QStringLiteral("https://") + QLatin1String(BuildConfig::logServiceHost)
        + QStringLiteral("/index.php/logger/form");
    const QString preset
        = QStringLiteral("<input id='identity' value='preset'><input id='password' value='preset'>");
    const QStringList untouched { QStringLiteral("preset"), QStringLiteral("preset") };
};

TEST_F(SignIn, TheLoggerSignsInWithTheFilledAccount)
{
    // Launched without an account, the page was filled with empty text.
    EXPECT_EQ(fields(), (QStringList { QString(), QString() }));

    useAccount(QStringLiteral("jsmith"), QStringLiteral("s3cret"));
    delegate.loadInWebView(QUrl(signInPageURL() + QStringLiteral("?from=test")));
    ASSERT_TRUE(showsPage(signInPageURL() + QStringLiteral("?from=test")));
    EXPECT_EQ(fields(), (QStringList { QString(), QString() }));

    delegate.loadInWebView(QUrl(signInPageURL()));
    ASSERT_TRUE(showsPage(signInPageURL()));
    EXPECT_EQ(fields(), (QStringList { QStringLiteral("jsmith"), QStringLiteral("s3cret") }));
    pressSignIn();
    EXPECT_TRUE(showsPage(logForm));
}

TEST_F(SignIn, SavingANewAccountSignsOutAndTheSignInPageComesBackWithIt)
{
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
    useAccount(QStringLiteral("jsmith"), QStringLiteral("s3cret"));
    delegate.loadInWebView(QUrl(signInPageURL()));
    ASSERT_TRUE(showsPage(signInPageURL()));
    pressSignIn();
    ASSERT_TRUE(showsPage(logForm));

    delegate.usernameField->setText(QStringLiteral(" newcomer "));
    delegate.passwordField->setText(QStringLiteral("n3w \"pass\""));
    delegate.saveCredentialsToKeychain();
    EXPECT_TRUE(
        service->waitForRequest(QStringLiteral("request GET ") + signOutPageURL().path(), pageLimitMs));
    ASSERT_TRUE(showsPage(signInPageURL()));
    EXPECT_EQ(fields(), (QStringList { QStringLiteral("newcomer"), QStringLiteral("n3w \"pass\"") }));
    pressSignIn();
    EXPECT_TRUE(showsPage(logForm));
}

TEST_F(SignIn, TheAccountArrivesAsLiteralTextWhateverItHolds)
{
    for (const auto& [username, password] : {
             std::pair { QStringLiteral("'); alert(1); //"),
                 QStringLiteral("\"); document.body.innerHTML = ''; //") },
             std::pair {
                 QStringLiteral("</script><script>alert(1)</script>"), QStringLiteral("%1 %2 ${x} `y`") },
             std::pair {
                 QStringLiteral("back\\slash\\\\ \\n \\u0041"), QStringLiteral("line\u2028sep\u2029para") },
         }) {
        useAccount(username, password);
        load(preset + QStringLiteral("<button id='sign_in'>Sign in</button>"), signInPageURL());
        EXPECT_EQ(fields(), (QStringList { username, password })) << username.toStdString();
    }
}

TEST_F(SignIn, OnlyTheSignInPageItselfIsFilledAndOnlyWhatItHas)
{
    useAccount(QStringLiteral("jsmith"), QStringLiteral("s3cret"));
    const QString signInControl = QStringLiteral("<button id='sign_in'>Sign in</button>");
    for (const QString& elsewhere :
        { signInPageURL() + QStringLiteral("/"), signInPageURL() + QStringLiteral("#top"),
            QString(signInPageURL()).replace(QStringLiteral("https:"), QStringLiteral("http:")),
            QString(signInPageURL()).replace(QStringLiteral("login"), QStringLiteral("LOGIN")) }) {
        load(preset + signInControl, elsewhere);
        EXPECT_EQ(fields(), untouched) << elsewhere.toStdString();
    }

    load(preset, signInPageURL());
    EXPECT_EQ(fields(), untouched);
    load(QStringLiteral("<input id='password' value='preset'><a id='sign_in'>Sign in</a>"), signInPageURL());
    EXPECT_EQ(fields(), (QStringList { QStringLiteral("(none)"), QStringLiteral("s3cret") }));

    // The control is never pressed, nor the form submitted.
    load(QStringLiteral("<form onsubmit='document.body.dataset.seen += \" submitted\"; return false'>")
            + preset
            + QStringLiteral("<button id='sign_in' onclick='document.body.dataset.seen += \" pressed\"'>"
                             "</button></form><script>document.body.dataset.seen = 'loaded'</script>"),
        signInPageURL());
    EXPECT_EQ(fields(), (QStringList { QStringLiteral("jsmith"), QStringLiteral("s3cret") }));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.dataset.seen")).toString(), QStringLiteral("loaded"));

    // Every finished load stops the spinner, whatever the page.
    delegate.webSpinner->startAnimation();
    load(QString(), QStringLiteral("https://elsewhere.test/"));
    EXPECT_FALSE(delegate.webSpinner->isAnimating());
}

}
