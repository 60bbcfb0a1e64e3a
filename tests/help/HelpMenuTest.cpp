#include "app/AppDelegate.h"
#include "app/Platform.h"
#include "help/SupportMail.h"

#include "BuildConfig.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

TEST(SupportMail, EscapesTheSubjectAndBodyTheLegacyWay)
{
    EXPECT_EQ(legacyUrlEscaped(QStringLiteral("azAZ09!#$&'()*+,-./:;=?@_~ \n\"%<>[\\]^`{|}\x7fé🔑")),
        QStringLiteral(
            "azAZ09!#$&'()*+,-./:;=?@_~%20%0A%22%25%3C%3E%5B%5C%5D%5E%60%7B%7C%7D%7F%C3%A9%F0%9F%94%91"));
    const QString body = QStringLiteral("&body=What%20went%20wrong?%0A%0A%0A");
    EXPECT_EQ(
        bugReportMailText(QStringLiteral("s@x.test"), QStringLiteral("tapeScribe"), QStringLiteral("1.4")),
        QStringLiteral("mailto:s@x.test?subject=Bug%20Report%20for%20tapeScribe%20(version%201.4)") + body);
    EXPECT_EQ(bugReportMailText(
                  QStringLiteral("s@x.test"), QStringLiteral("tapeScribe"), QStringLiteral("1.4 beta")),
        QStringLiteral("mailto:s@x.test?subject=Bug%20Report%20for%20tapeScribe%20(version%201.4%20beta)")
            + body);
}

QString makerPage(const char* path)
{
    return QStringLiteral("http://") + QLatin1String(BuildConfig::makerHost) + QLatin1String(path);
}

// The desktop, standing in: it records every URL handed over and accepts it or not.
QStringList openedBy(bool desktopAccepts, void (AppDelegate::*command)())
{
    QStringList opened;
    Platform::setUrlOpener([&](const QUrl& url) {
        opened.append(url.toString(QUrl::FullyEncoded));
        return desktopAccepts;
    });
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4 beta"));
    AppDelegate delegate;
    (delegate.*command)();
    Platform::setUrlOpener({});
    return opened;
}

TEST(HelpMenu, OpensTheMakersPagesAndTheAboutPageOnlyWhenTheMailIsRefused)
{
    EXPECT_EQ(openedBy(false, &AppDelegate::showHelp), QStringList { makerPage("/tapescribe.html") });
    EXPECT_EQ(openedBy(false, &AppDelegate::showGlossary), QStringList { makerPage("/glossary.html") });

    const QString mail = QStringLiteral("mailto:") + QLatin1String(BuildConfig::supportAddress)
        + QStringLiteral("?subject=Bug%20Report%20for%20tapescribe%20(version%201.4%20beta)"
                         "&body=What%20went%20wrong?%0A%0A%0A");
    EXPECT_EQ(openedBy(true, &AppDelegate::emailSupport), QStringList { mail });
    EXPECT_EQ(openedBy(false, &AppDelegate::emailSupport), (QStringList { mail, makerPage("/about.html") }));
}

}
