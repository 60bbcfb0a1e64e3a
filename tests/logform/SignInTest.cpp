#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "core/LogServiceAddress.h"
#include "core/Spinner.h"
#include "logform/SignInPage.h"
#include "support/LogServiceProcess.h"
#include "support/PrivateKeyring.h"

#include "core/BuildConfig.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int pageLimitMs = 60000;

const QString buildHost = QString::fromLatin1(BuildConfig::logServiceHost);

std::unique_ptr<LogServiceProcess> service;

// One service for the whole binary: the web engine reads its resolver rules once, when its first object is
// made, so every fixture must find the service where the first one did.
class ServiceEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        service = std::make_unique<LogServiceProcess>();
        ASSERT_TRUE(service->start());
        ASSERT_TRUE(service->addAccount(u"jsmith"_s, u"s3cret"_s));
        ASSERT_TRUE(service->addAccount(u"newcomer"_s, u"n3w \"pass\""_s));
        // Whatever port an address names, the service's host reaches the service.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", service->chromiumFlags(buildHost));
    }
    void TearDown() override { service.reset(); }
};
const testing::Environment* const serviceEnvironment
    = testing::AddGlobalTestEnvironment(new ServiceEnvironment);

// tapeScribe on the local log service, from a first launch: the web view's profile starts empty.
class SignIn : public testing::Test
{
protected:
    explicit SignIn(const QString& host = buildHost)
        : delegate(host)
        , signInPage(signInPageURL(host).toString())
        , formPage(LogServiceAddress::page(host, u"/index.php/logger/form"_s).toString())
    {
    }

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
        ASSERT_TRUE(showsPage(signInPage));
    }

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
        page()->setHtml(u"<!DOCTYPE html><html><body>"_s + body + u"</body></html>"_s, QUrl(address));
        ASSERT_TRUE(showsPage(address));
    }

    // Runs in the world the filling runs in, after it: a fill that was going to happen has happened.
    QVariant evaluate(const QString& script)
    {
        std::optional<QVariant> value;
        page()->runJavaScript(
            script, QWebEngineScript::ApplicationWorld, [&](const QVariant& result) { value = result; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return value.has_value(); }, pageLimitMs));
        return value.value_or(QVariant());
    }

    // The two inputs' values; "(none)" for one that is missing.
    QStringList fields()
    {
        return evaluate(
            u"['identity', 'password'].map(id => document.getElementById(id)?.value ?? '(none)')"_s)
            .toStringList();
    }

    // The logger presses the page's own sign-in control, which submits its form.
    bool signsIn()
    {
        evaluate(u"document.getElementById('sign_in').click()"_s);
        return showsPage(formPage);
    }

    // The road of an account: filled, signed in, saved anew, signed out, filled with the new one.
    void signInSaveAndSignInAgain()
    {
        // Launched without an account, the page was filled with empty text.
        EXPECT_EQ(fields(), (QStringList { QString(), QString() }));
        delegate.username = u"jsmith"_s;
        delegate.password = u"s3cret"_s;
        delegate.loadInWebView(QUrl(signInPage));
        ASSERT_TRUE(showsPage(signInPage));
        EXPECT_EQ(fields(), (QStringList { u"jsmith"_s, u"s3cret"_s }));
        ASSERT_TRUE(signsIn());

        PrivateKeyring keyring;
        ASSERT_EQ(keyring.problem(), "");
        delegate.usernameField->setText(u" newcomer "_s);
        delegate.passwordField->setText(u"n3w \"pass\""_s);
        delegate.saveCredentialsToKeychain();
        EXPECT_TRUE(service->waitForRequest(u"request GET /index.php/users/logout"_s, pageLimitMs));
        ASSERT_TRUE(showsPage(signInPage));
        EXPECT_EQ(fields(), (QStringList { u"newcomer"_s, u"n3w \"pass\""_s }));
        EXPECT_TRUE(signsIn());
    }

    QTemporaryDir home;
    // Before the delegate, which owns the page that reports into them.
    QStringList finishedPages;
    qsizetype seen = 0;
    AppDelegate delegate;
    MainInterface interface;
    // The addresses as the web view reports them.
    const QString signInPage;
    const QString formPage;
};

// The same service, its host written with capitals and its port, as an organisation may give it at build
// time.
class SignInOnAHostWithCapitalsAndAPort : public SignIn
{
protected:
    SignInOnAHostWithCapitalsAndAPort()
        : SignIn(buildHost.toUpper() + u':' + QString::number(service->httpsPort()))
    {
    }
};

TEST_F(SignIn, TheLoggerSignsInWithTheFilledAccountAndAgainAfterSavingANewOne)
{
    signInSaveAndSignInAgain();
}

TEST_F(SignInOnAHostWithCapitalsAndAPort, TheFormTheSignInPageAndTheSignOutFollowTheHost)
{
    ASSERT_TRUE(signInPage.startsWith(u"https://%1:%2/"_s.arg(buildHost).arg(service->httpsPort())))
        << signInPage.toStdString();
    signInSaveAndSignInAgain();
}

TEST_F(SignIn, OnlyTheSignInPageItselfIsFilledOnlyWithWhatItHasAndLiterally)
{
    const QString inputs = u"<input id='identity' value='preset'><input id='password' value='preset'>"_s;
    // A sign-in page that notes when its control is pressed or its form submitted: neither may happen.
    const QString signInForm
        = u"<form onsubmit='document.body.dataset.seen += \" submitted\"; return false'>"_s + inputs
        + u"<button id='sign_in' onclick='document.body.dataset.seen += \" pressed\"'></button></form>"
          "<script>document.body.dataset.seen = 'loaded'</script>"_s;
    for (const auto& [username, password] : {
             std::pair { u"'); alert(1); //"_s, u"\"); document.body.innerHTML = ''; //"_s },
             std::pair { u"</script><script>alert(1)</script>"_s, u"%1 %2 ${x} `y`"_s },
             std::pair { u"back\\slash\\\\ \\n \\u0041"_s, u"line\u2028sep\u2029para"_s },
         }) {
        delegate.username = username;
        delegate.password = password;
        load(signInForm, signInPage);
        EXPECT_EQ(fields(), (QStringList { username, password })) << username.toStdString();
        EXPECT_EQ(evaluate(u"document.body.dataset.seen"_s).toString(), u"loaded"_s);
    }

    const QStringList untouched { u"preset"_s, u"preset"_s };
    for (const QString& elsewhere : { signInPage + u"?from=test"_s, signInPage + u"/"_s,
             signInPage + u"#top"_s, QString(signInPage).replace(u"https:"_s, u"http:"_s),
             QString(signInPage).replace(u"login"_s, u"LOGIN"_s) }) {
        load(signInForm, elsewhere);
        EXPECT_EQ(fields(), untouched) << elsewhere.toStdString();
    }
    load(inputs, signInPage);
    EXPECT_EQ(fields(), untouched);
    load(u"<input id='password' value='preset'><a id='sign_in'>Sign in</a>"_s, signInPage);
    EXPECT_EQ(fields(), (QStringList { u"(none)"_s, delegate.password }));

    // Every finished load stops the spinner, whatever the page.
    delegate.webSpinner->startAnimation();
    load(QString(), u"https://elsewhere.test/"_s);
    EXPECT_FALSE(delegate.webSpinner->isAnimating());
}

}
