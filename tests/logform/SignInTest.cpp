#include "LogFormSession.h"

#include "core/Spinner.h"
#include "support/PrivateKeyring.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;

namespace {

class SignIn : public LogFormSession
{
protected:
    using LogFormSession::LogFormSession;

    // A page written by the test, under the address it chooses.
    void load(const QString& body, const QString& address)
    {
        page()->setHtml(u"<!DOCTYPE html><html><body>"_s + body + u"</body></html>"_s, QUrl(address));
        ASSERT_TRUE(showsPage(address));
    }

    // The two inputs' values; "(none)" for one that is missing.
    QStringList fields()
    {
        return evaluate(
            u"['identity', 'password'].map(id => document.getElementById(id)?.value ?? '(none)')"_s)
            .toStringList();
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
        delegate.passwordField->setText(newcomerPassword);
        delegate.saveCredentialsToKeychain();
        EXPECT_TRUE(service().waitForRequest(u"request GET /index.php/users/logout"_s, pageLimitMs));
        ASSERT_TRUE(showsPage(signInPage));
        EXPECT_EQ(fields(), (QStringList { u"newcomer"_s, newcomerPassword }));
        EXPECT_TRUE(signsIn());
    }
};

// The same service, its host written with capitals and its port, as an organisation may give it at build
// time.
class SignInOnAHostWithCapitalsAndAPort : public SignIn
{
protected:
    SignInOnAHostWithCapitalsAndAPort()
        : SignIn(buildHost.toUpper() + u':' + QString::number(service().httpsPort()))
    {
    }
};

TEST_F(SignIn, TheLoggerSignsInWithTheFilledAccountAndAgainAfterSavingANewOne)
{
    signInSaveAndSignInAgain();
}

TEST_F(SignInOnAHostWithCapitalsAndAPort, TheFormTheSignInPageAndTheSignOutFollowTheHost)
{
    ASSERT_TRUE(signInPage.startsWith(u"https://%1:%2/"_s.arg(buildHost).arg(service().httpsPort())))
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
