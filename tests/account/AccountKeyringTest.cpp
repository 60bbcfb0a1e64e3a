#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "app/Platform.h"
#include "support/PrivateKeyring.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// The application's delegate and windows, connected as at start-up.
struct Application
{
    AppDelegate delegate;
    MainInterface interface;

    Application()
    {
        interface.connectTo(delegate);
        delegate.awakeFromNib();
    }
    void type(const QString& username, const QString& password)
    {
        delegate.usernameField->setText(username);
        delegate.passwordField->setText(password);
    }
    QStringList shown() const { return { delegate.usernameField->text(), delegate.passwordField->text() }; }
    QStringList inMemory() const { return { delegate.username, delegate.password }; }
    bool preferencesInFront() const { return delegate.preferencesWindow->isVisible(); }
};

TEST(AccountOnKeyring, SavedAccountsComeBackExactly)
{
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
    Application application;
    const std::pair<QStringList, QStringList> accounts[] = {
        { { QStringLiteral("  mailto:jsmith\n"), QStringLiteral("\t pw \u2028") },
            { QStringLiteral("jsmith"), QStringLiteral("pw") } },
        { { QStringLiteral("j\"smith"), QStringLiteral("say \"hi\" and \"\"") }, {} },
        { { QStringLiteral("back\\slash"), QStringLiteral("\\n is no line break\\") }, {} },
        { { QStringLiteral("jürgen 鍵"), QStringLiteral("ünïcødé 🔑") }, {} },
        { { QStringLiteral("j smith"), QStringLiteral("inner  spaces\tand\ttabs") }, {} },
        { { QStringLiteral("line\nbreak"), QStringLiteral("line\nbreak\r\nand\rreturn") }, {} },
    };
    for (const auto& [typed, cleaned] : accounts) {
        const QStringList expected = cleaned.isEmpty() ? typed : cleaned;
        application.type(typed[0], typed[1]);
        application.delegate.preferencesWindow->show();
        application.delegate.saveCredentialsToKeychain();
        EXPECT_EQ(application.inMemory(), expected);
        EXPECT_EQ(application.shown(), expected);
        EXPECT_FALSE(application.preferencesInFront());

        application.type(QString(), QString());
        application.delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(application.inMemory(), expected);
        EXPECT_EQ(application.shown(), expected);
        EXPECT_FALSE(application.preferencesInFront());
    }
    EXPECT_EQ(application.delegate.webView->page()->requestedUrl(),
        QUrl(QStringLiteral("https://logs.tapescribe.test/index.php/users/logout")));

    // Opening the preferences shows the stored account again, whatever was typed since.
    application.type(QStringLiteral("typed"), QStringLiteral("typed"));
    application.delegate.showPreferences();
    EXPECT_EQ(application.shown()[0], QStringLiteral("line\nbreak"));
    EXPECT_TRUE(application.preferencesInFront());
}

TEST(AccountOnKeyring, AMissingOrIncompleteAccountBringsThePreferencesForward)
{
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
    Application application;
    application.type(QStringLiteral("typed"), QStringLiteral("not saved"));
    application.delegate.username = QStringLiteral("stale");
    application.delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(application.inMemory(), (QStringList { QString(), QString() }));
    EXPECT_EQ(application.shown(), (QStringList { QStringLiteral("typed"), QStringLiteral("not saved") }));
    EXPECT_TRUE(application.preferencesInFront());

    application.type(QStringLiteral("jsmith"), QStringLiteral("   "));
    application.delegate.saveCredentialsToKeychain();
    application.delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(application.inMemory(), (QStringList { QStringLiteral("jsmith"), QString() }));
    EXPECT_TRUE(application.preferencesInFront());
}

TEST(AccountWithoutKeyring, AnAbsentOrSilentKeyringLeavesTheAccountEmpty)
{
    for (const auto kind : { PrivateKeyring::Kind::NoBus, PrivateKeyring::Kind::Unanswering }) {
        PrivateKeyring keyring(kind);
        ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
        Application application;
        application.type(QStringLiteral("typed"), QStringLiteral("typed"));
        application.delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(application.inMemory(), (QStringList { QString(), QString() }));
        EXPECT_EQ(application.shown(), (QStringList { QStringLiteral("typed"), QStringLiteral("typed") }));
        EXPECT_TRUE(application.preferencesInFront());
    }
}

QByteArray arguments(std::initializer_list<QByteArray> list)
{
    QByteArray recorded;
    for (const QByteArray& argument : list)
        recorded += argument + '\0';
    return recorded;
}

// Every local user can read a process's argument list: the save must keep the password out of it.
TEST(AccountSave, ThePasswordGoesOnStandardInputNeverIntoAnArgumentList)
{
    for (const QStringList& account :
        { QStringList { QStringLiteral("jsmith"), QStringLiteral("pässword \"-w\"\nline") },
            QStringList { QString(), QString() } }) {
        // A stand-in for the keyring tool: it records each run's arguments and, for an add, its input.
        QTemporaryDir folder;
        QFile tool(folder.filePath(QStringLiteral("tapescribe-security")));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n"
                   "run=$(ls \"$(dirname \"$0\")\" | grep -c '\\.arguments$')\n"
                   "printf '%s\\0' \"$@\" > \"$(dirname \"$0\")/$run.arguments\"\n"
                   "[ \"$1\" != add-generic-password ] || cat > \"$(dirname \"$0\")/$run.input\"\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Platform::setHelperToolFolder(folder.path());
        auto recorded = [&](const QString& name) {
            QFile file(folder.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
        };

        Application application;
        application.type(account[0], account[1]);
        application.delegate.saveCredentialsToKeychain();
        Platform::setHelperToolFolder(QString());

        // The old item goes first, then the new one comes with its password on standard input.
        EXPECT_EQ(recorded(QStringLiteral("0.arguments")),
            arguments({ "delete-generic-password", "-s", "Fernwright account details" }));
        EXPECT_EQ(recorded(QStringLiteral("1.arguments")),
            arguments({ "add-generic-password", "-a", account[0].toUtf8(), "-s", "Fernwright account details",
                "-w" }));
        EXPECT_EQ(recorded(QStringLiteral("1.input")), account[1].toUtf8());
        EXPECT_EQ(recorded(QStringLiteral("2.arguments")), "(none)");
    }
}

}
