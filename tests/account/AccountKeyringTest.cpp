#include "account/KeychainOutcome.h"
#include "core/Platform.h"
#include "support/PrivateKeyring.h"
#include "support/StandInTool.h"
#include "support/TestApplication.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// The application's delegate and windows, connected as at start-up.
struct Application : TestApplication
{
    Application()
    {
        awake();
        delegate.runAlert = [this](QMessageBox& alert) {
            alerts.append({ alert.text(), alert.informativeText() });
        };
    }
    void type(const QStringList& account)
    {
        delegate.usernameField->setText(account[0]);
        delegate.passwordField->setText(account[1]);
    }
    // The account in memory, the account the fields show, and whether the preferences window is in front.
    std::tuple<QStringList, QStringList, bool> state() const
    {
        return { { delegate.username, delegate.password },
            { delegate.usernameField->text(), delegate.passwordField->text() },
            delegate.preferencesWindow->isVisible() };
    }
    // The line under the fields, when it shows.
    QString statusLine() const
    {
        return delegate.accountStatusLabel->isVisibleTo(delegate.preferencesWindow)
            ? delegate.accountStatusLabel->text()
            : QString();
    }

    // Each alert's text and informative text; the alerts are answered at once.
    QList<QStringList> alerts;
};

const QStringList typed { u"typed"_s, u"not saved"_s };

TEST(AccountOnKeyring, SavedAccountsComeBackExactly)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    Application application;
    // As typed, and as saved when that differs. Without a password the account is incomplete.
    const std::pair<QStringList, QStringList> accounts[] = {
        { { u"  mailto:jsmith\n"_s, u"\t pw \u2028"_s }, { u"jsmith"_s, u"pw"_s } },
        { { u"jsmith"_s, u"   "_s }, { u"jsmith"_s, QString() } },
        { { u"j\"smith"_s, u"say \"hi\" and \"\""_s }, {} },
        { { u"back\\slash"_s, u"\\n is no line break\\"_s }, {} },
        { { u"jürgen 鍵"_s, u"ünï\u2028cødé 🔑"_s }, {} },
        { { u"j smith"_s, u"inner  spaces\tand\ttabs"_s }, {} },
        { { u"0x6A"_s, u"0x41"_s }, {} },
        { { u"line\nbreak"_s, u"line\nbreak\r\nand\rreturn"_s }, {} },
    };
    for (const auto& [typing, cleaned] : accounts) {
        const QStringList expected = cleaned.isEmpty() ? typing : cleaned;
        application.type(typing);
        application.delegate.preferencesWindow->show();
        application.delegate.saveCredentialsToKeychain();
        EXPECT_EQ(application.state(), std::tuple(expected, expected, false));
        application.type(typed);
        application.delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(application.state(), std::tuple(expected, expected, expected[1].isEmpty()))
            << typing[0].toStdString();
    }

    // Opening the preferences shows the stored account again, whatever was typed since.
    application.type(typed);
    application.delegate.showPreferences();
    const QStringList last = accounts[std::size(accounts) - 1].first;
    EXPECT_EQ(application.state(), std::tuple(last, last, true));
}

// No item, no keyring, or one that never answers: the account in memory is empty, the fields keep what was
// typed, and the preferences come forward for the logger to enter an account; the line under the fields
// says why when the keyring could not be read. A save then stores nothing and says so.
TEST(AccountOnKeyring, WithoutAStoredAccountThePreferencesComeForward)
{
    const QString noKeyring = accountReadProblem(KeychainOutcome::NoKeyring);
    const std::pair<PrivateKeyring::Kind, QString> rows[] = {
        { PrivateKeyring::Kind::Unlocked, QString() },
        { PrivateKeyring::Kind::NoBus, noKeyring },
        { PrivateKeyring::Kind::Unanswering, noKeyring },
    };
    for (const auto& [kind, line] : rows) {
        PrivateKeyring keyring(kind);
        ASSERT_EQ(keyring.problem(), "");
        Application application;
        application.type(typed);
        application.delegate.username = u"stale"_s;
        application.delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(application.state(), std::tuple(QStringList { QString(), QString() }, typed, true));
        EXPECT_EQ(application.statusLine(), line);
        if (line.isEmpty())
            continue;
        application.delegate.saveCredentialsToKeychain();
        EXPECT_EQ(application.state(), std::tuple(QStringList { QString(), QString() }, typed, true));
        EXPECT_EQ(application.alerts,
            QList<QStringList>(
                { { accountNotStoredText(), accountSaveProblem(KeychainOutcome::NoKeyring) } }));
    }
}

// On a desktop that logs in without a password the keyring stays locked: the launch read may not ask for
// its password, and a save asks for it because the logger asked to save.
TEST(AccountOnKeyring, ALockedKeyringKeepsItsAccountUntilTheLoggerUnlocksIt)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    Application application;
    const QStringList first { u"jsmith"_s, u"first password"_s };
    application.type(first);
    application.delegate.saveCredentialsToKeychain();
    ASSERT_TRUE(keyring.lockLoginKeyring());

    // The first prompt that shows is answered with the password. The read shows none: the keyring stays
    // locked, and the line under the fields says so.
    const bool prompts = keyring.answerUnlockPrompt(PrivateKeyring::loginPassword);
    application.type(typed);
    application.delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(application.state(), std::tuple(QStringList { QString(), QString() }, typed, true));
    EXPECT_EQ(application.statusLine(), accountReadProblem(KeychainOutcome::Locked));

    // The save shows it, and stores the account once the keyring is unlocked.
    const QStringList second { u"jsmith"_s, u"second password"_s };
    application.type(second);
    application.delegate.saveCredentialsToKeychain();
    const QList<QStringList> lockedAlert { { accountNotStoredText(),
        accountSaveProblem(KeychainOutcome::Locked) } };
    if (!prompts) {
        // No prompt can show here: the save stores nothing, says so, and keeps what was typed in front.
        EXPECT_EQ(application.state(), std::tuple(QStringList { QString(), QString() }, second, true));
        EXPECT_EQ(application.alerts, lockedAlert);
        GTEST_SKIP() << "the password prompt needs an X display";
    }
    EXPECT_EQ(application.state(), std::tuple(second, second, false));
    EXPECT_EQ(application.alerts, QList<QStringList>());
    EXPECT_EQ(application.statusLine(), QString());

    // A save whose prompt is dismissed stores nothing, says so, and keeps what was typed in front.
    ASSERT_TRUE(keyring.lockLoginKeyring());
    ASSERT_TRUE(keyring.answerUnlockPrompt(std::nullopt));
    const QStringList third { u"jsmith"_s, u"third password"_s };
    application.type(third);
    application.delegate.preferencesWindow->show();
    application.delegate.saveCredentialsToKeychain();
    EXPECT_EQ(application.state(), std::tuple(second, third, true));
    EXPECT_EQ(application.alerts, lockedAlert);

    // Once the keyring is unlocked, the stored account is there to read: the failed save lost nothing.
    ASSERT_TRUE(keyring.answerUnlockPrompt(PrivateKeyring::loginPassword));
    ASSERT_EQ(
        runTool(TestEnvironment::builtProgram(u"tapescribe-security"_s), { u"unlock-keychain"_s }).status, 0);
    application.delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(application.state(), std::tuple(second, second, true));
}

// Every local user can read a process's argument list: the save must keep the password out of it.
TEST(AccountSave, ThePasswordGoesOnStandardInputNeverIntoAnArgumentList)
{
    for (const QStringList& account :
        { QStringList { u"jsmith"_s, u"pässword \"-w\"\nline"_s }, QStringList { QString(), QString() } }) {
        // A stand-in for the keyring tool: it logs each run's arguments and, for an add, its input.
        QTemporaryDir folder;
        const QString tool = folder.filePath(u"tapescribe-security"_s);
        ASSERT_TRUE(writeStandInTool(tool,
            u"{ printf '%s\\0' \"$@\"; [ \"$1\" != add-generic-password ] || cat; echo; } >> \"$0.log\""_s));
        Platform::setHelperToolFolder(folder.path());
        Application application;
        application.type(account);
        application.delegate.saveCredentialsToKeychain();
        Platform::setHelperToolFolder(QString());

        // The keyring is unlocked first, the old item goes next, then the new one comes with its password
        // on standard input.
        QFile log(tool + u".log"_s);
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QByteArray service = "\0-s\0Fernwright account details\0"_ba;
        EXPECT_EQ(log.readAll(),
            "unlock-keychain\0\ndelete-generic-password"_ba + service + "\nadd-generic-password\0-a\0"_ba
                + account[0].toUtf8() + service + "-w\0"_ba + account[1].toUtf8() + '\n');
    }
}

}
