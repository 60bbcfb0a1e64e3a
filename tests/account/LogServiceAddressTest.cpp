#include "logform/LogServiceAddress.h"
#include "account/SignOutPage.h"
#include "logform/SignInPage.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The host as an organisation may write it at build time, and the address the web view reports for it.
TEST(LogServiceAddress, HostsInAnyFormGiveTheAddressesTheWebViewReports)
{
    for (const auto& [host, reported] : {
             std::pair { u"logs.example.test"_s, u"https://logs.example.test/users/login"_s },
             std::pair { u"Logs.Example.TEST"_s, u"https://logs.example.test/users/login"_s },
             std::pair { u"logs.example.test:8443"_s, u"https://logs.example.test:8443/users/login"_s },
             std::pair { u"LOGS.example.test:8443"_s, u"https://logs.example.test:8443/users/login"_s },
             std::pair { u"logs.example.test:443"_s, u"https://logs.example.test/users/login"_s },
             std::pair { u"127.0.0.1:8443"_s, u"https://127.0.0.1:8443/users/login"_s },
             std::pair { u"[::1]:8443"_s, u"https://[::1]:8443/users/login"_s },
         }) {
        EXPECT_TRUE(isSignInPage(QUrl(reported), host)) << host.toStdString();
        const QUrl signOut = signOutPageURL(host);
        EXPECT_TRUE(signOut.isValid()) << host.toStdString();
        EXPECT_EQ(signOut.path(), u"/index.php/users/logout"_s);
        EXPECT_TRUE(
            LogServiceAddress::samePage(signOut.resolved(QUrl(u"/users/login"_s)), signInPageURL(host)))
            << host.toStdString();
        const QUrl origin = LogServiceAddress::origin(host);
        EXPECT_EQ(origin.host(), QUrl(reported).host()) << host.toStdString();
        EXPECT_EQ(origin.path(), u"/"_s);
        EXPECT_EQ(origin.scheme(), u"https"_s);
    }
}

TEST(LogServiceAddress, OnlyTheSignInPageItselfMatches)
{
    const QString host = u"Logs.Example.test:8443"_s;
    for (const QString& elsewhere : {
             u"https://logs.example.test:8443/users/login?from=test"_s,
             u"https://logs.example.test:8443/users/login?"_s,
             u"https://logs.example.test:8443/users/login#top"_s,
             u"https://logs.example.test:8443/users/login/"_s,
             u"https://logs.example.test:8443/users/LOGIN"_s,
             u"https://logs.example.test/users/login"_s,
             u"https://logs.example.test:8444/users/login"_s,
             u"http://logs.example.test:8443/users/login"_s,
             u"https://clips.logs.example.test:8443/users/login"_s,
             QString(),
         })
        EXPECT_FALSE(isSignInPage(QUrl(elsewhere), host)) << elsewhere.toStdString();
    // A host that is no host makes no address at all, and nothing matches it.
    EXPECT_FALSE(signInPageURL(u"logs example"_s).isValid());
    EXPECT_FALSE(isSignInPage(QUrl(u"https://logs example/users/login"_s), u"logs example"_s));
}

}
