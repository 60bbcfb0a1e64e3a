#include "app/AppDelegate.h"
#include "app/Platform.h"
#include "help/SupportMail.h"

#include "BuildConfig.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

TEST(SupportMail, EscapesLikeTheLegacyUrlEscaping)
{
    const QString unchanged = QStringLiteral("azAZ09!#$&'()*+,-./:;=?@_~");
    EXPECT_EQ(legacyUrlEscaped(unchanged), unchanged);
    EXPECT_EQ(legacyUrlEscaped(QStringLiteral(" \n\t\"%<>[\\]^`{|}\x7f")),
        QStringLiteral("%20%0A%09%22%25%3C%3E%5B%5C%5D%5E%60%7B%7C%7D%7F"));
    EXPECT_EQ(legacyUrlEscaped(QStringLiteral("é🔑")), QStringLiteral("%C3%A9%F0%9F%94%91"));
    EXPECT_EQ(legacyUrlEscaped(QString()), QString());
}

TEST(SupportMail, NamesTheProgramAndItsVersionInTheSubject)
{
    EXPECT_EQ(bugReportMailText(QStringLiteral("support@example.test"), QStringLiteral("tapeScribe"),
                  QStringLiteral("1.4")),
        QStringLiteral("mailto:support@example.test?subject=Bug%20Report%20for%20tapeScribe%20(version%201.4)"
                       "&body=What%20went%20wrong?%0A%0A%0A"));
    EXPECT_EQ(bugReportMailText(
                  QStringLiteral("s@x.test"), QStringLiteral("tapeScribe"), QStringLiteral("1.4 beta")),
        QStringLiteral("mailto:s@x.test?subject=Bug%20Report%20for%20tapeScribe%20(version%201.4%20beta)"
                       "&body=What%20went%20wrong?%0A%0A%0A"));
    // Ampersands and equals signs are URL punctuation and pass unchanged.
    EXPECT_EQ(bugReportMailText(QStringLiteral("s@x.test"), QStringLiteral("a&b"), QStringLiteral("=2")),
        QStringLiteral("mailto:s@x.test?subject=Bug%20Report%20for%20a&b%20(version%20=2)"
                       "&body=What%20went%20wrong?%0A%0A%0A"));
}

// Stands for the desktop: records every URL handed over and answers as told.
class DesktopOpener
{
public:
    explicit DesktopOpener(bool accepts)
    {
        Platform::setUrlOpener([this, accepts](const QUrl& url) {
            opened.append(url.toString(QUrl::FullyEncoded));
            return accepts;
        });
    }
    ~DesktopOpener() { Platform::setUrlOpener({}); }

    QStringList opened;
};

QString makerPage(const char* path)
{
    return QStringLiteral("http://") + QLatin1String(BuildConfig::makerHost) + QLatin1String(path);
}

class HelpMenu : public testing::Test
{
protected:
    void SetUp() override { QCoreApplication::setApplicationVersion(QStringLiteral("1.4 beta")); }
    void TearDown() override { QCoreApplication::setApplicationVersion(QString()); }

    AppDelegate delegate;
    const QString mail = QStringLiteral("mailto:") + QLatin1String(BuildConfig::supportAddress)
        + QStringLiteral("?subject=Bug%20Report%20for%20tapescribe%20(version%201.4%20beta)"
                         "&body=What%20went%20wrong?%0A%0A%0A");
};

TEST_F(HelpMenu, OpensTheMakersPages)
{
    DesktopOpener desktop(false);
    delegate.showHelp();
    delegate.showGlossary();
    EXPECT_EQ(desktop.opened, (QStringList { makerPage("/tapescribe.html"), makerPage("/glossary.html") }));
}

TEST_F(HelpMenu, TheAboutPageOpensOnlyWhenTheMailIsRefused)
{
    {
        DesktopOpener withMail(true);
        delegate.emailSupport();
        EXPECT_EQ(withMail.opened, QStringList { mail });
    }
    {
        DesktopOpener withoutMail(false);
        delegate.emailSupport();
        EXPECT_EQ(withoutMail.opened, (QStringList { mail, makerPage("/about.html") }));
    }
}

}
