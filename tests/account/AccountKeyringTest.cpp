#include "core/Platform.h"
#include "support/PrivateKeyring.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// The application's delegate and windows, connected as at start-up.
struct Application : TestApplication
{
    Application() { awake(); }
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
// typed, and the preferences come forward for the logger to enter an account.
TEST(AccountOnKeyring, WithoutAStoredAccountThePreferencesComeForward)
{
    for (const auto kind :
        { PrivateKeyring::Kind::Unlocked, PrivateKeyring::Kind::NoBus, PrivateKeyring::Kind::Unanswering }) {
        PrivateKeyring keyring(kind);
        ASSERT_EQ(keyring.problem(), "");
        Application application;
        application.type(typed);
        application.delegate.username = u"stale"_s;
        application.delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(application.state(), std::tuple(QStringList { QString(), QString() }, typed, true));
    }
}

// Every local user can read a process's argument list: the save must keep the password out of it.
TEST(AccountSave, ThePasswordGoesOnStandardInputNeverIntoAnArgumentList)
{
    for (const QStringList& account :
        { QStringList { u"jsmith"_s, u"pässword \"-w\"\nline"_s }, QStringList { QString(), QString() } }) {
        // A stand-in for the keyring tool: it logs each run's arguments and, for an add, its input.
        QTemporaryDir folder;
        QFile tool(folder.filePath(u"tapescribe-security"_s));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write(
            "#!/bin/sh\n"
            "{ printf '%s\\0' \"$@\"; [ \"$1\" != add-generic-password ] || cat; echo; } >> \"$0.log\"\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Platform::setHelperToolFolder(folder.path());
        Application application;
        application.type(account);
        application.delegate.saveCredentialsToKeychain();
        Platform::setHelperToolFolder(QString());

        // The old item goes first, then the new one comes with its password on standard input.
        QFile log(tool.fileName() + u".log"_s);
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QByteArray service = "\0-s\0Fernwright account details\0"_ba;
        EXPECT_EQ(log.readAll(),
            "delete-generic-password"_ba + service + "\nadd-generic-password\0-a\0"_ba + account[0].toUtf8()
                + service + "-w\0"_ba + account[1].toUtf8() + '\n');
    }
}

}
