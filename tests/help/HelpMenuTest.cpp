#include "app/AppDelegate.h"
#include "core/Platform.h"
#include "help/SupportMail.h"

#include "core/BuildConfig.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {

// The whole mail address is checked where the Help menu hands it to the desktop, below.
TEST(SupportMail, EscapesTheSubjectAndBodyTheLegacyWay)
{
    EXPECT_EQ(legacyUrlEscaped(u"azAZ09!#$&'()*+,-./:;=?@_~ \n\"%<>[\\]^`{|}\x7fé🔑"_s),
        u"azAZ09!#$&'()*+,-./:;=?@_~%20%0A%22%25%3C%3E%5B%5C%5D%5E%60%7B%7C%7D%7F%C3%A9%F0%9F%94%91"_s);
}

// The URLs a Help command hands to the desktop, which accepts them or not. The version holds a blank.
QStringList openedBy(void (AppDelegate::*command)(), bool desktopAccepts = false)
{
    QStringList opened;
    Platform::setUrlOpener([&](const QUrl& url) {
        opened.append(url.toString(QUrl::FullyEncoded));
        return desktopAccepts;
    });
    QCoreApplication::setApplicationVersion(u"1.4 beta"_s);
    AppDelegate delegate;
    (delegate.*command)();
    Platform::setUrlOpener({});
    return opened;
}

TEST(HelpMenu, OpensTheMakersPagesAndTheAboutPageOnlyWhenTheMailIsRefused)
{
    const QString site = u"http://"_s + QLatin1String(BuildConfig::makerHost);
    EXPECT_EQ(openedBy(&AppDelegate::showHelp), QStringList { site + u"/tapescribe.html"_s });
    EXPECT_EQ(openedBy(&AppDelegate::showGlossary), QStringList { site + u"/glossary.html"_s });

    const QString mail = u"mailto:"_s + QLatin1String(BuildConfig::supportAddress)
        + u"?subject=Bug%20Report%20for%20tapescribe%20(version%201.4%20beta)"
          "&body=What%20went%20wrong?%0A%0A%0A"_s;
    EXPECT_EQ(openedBy(&AppDelegate::emailSupport, true), QStringList { mail });
    EXPECT_EQ(openedBy(&AppDelegate::emailSupport), (QStringList { mail, site + u"/about.html"_s }));
}

}
