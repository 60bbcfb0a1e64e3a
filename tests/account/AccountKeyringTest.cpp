#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "app/Platform.h"
#include "support/PrivateKeyring.h"

#include <gtest/gtest.h>

#include <QDir>
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
    bool preferencesInFront() const { return delegate.preferencesWindow->isVisible(); }
};

class AccountOnKeyring : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString(); }

    PrivateKeyring keyring;
    Application application;
    AppDelegate& delegate = application.delegate;
};

TEST_F(AccountOnKeyring, WithoutAnItemThePreferencesComeForwardAndTheFieldsKeepTheirText)
{
    application.type(QStringLiteral("typed"), QStringLiteral("not saved"));
    delegate.username = QStringLiteral("stale");
    delegate.password = QStringLiteral("stale");
    delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(delegate.username, QString());
    EXPECT_EQ(delegate.password, QString());
    EXPECT_EQ(delegate.usernameField->text(), QStringLiteral("typed"));
    EXPECT_EQ(delegate.passwordField->text(), QStringLiteral("not saved"));
    EXPECT_TRUE(application.preferencesInFront());

    // Opening the preferences reads the keyring again: unsaved text stays in the fields only.
    delegate.preferencesWindow->hide();
    delegate.showPreferences();
    EXPECT_EQ(delegate.username, QString());
    EXPECT_EQ(delegate.usernameField->text(), QStringLiteral("typed"));
    EXPECT_TRUE(application.preferencesInFront());
}

TEST_F(AccountOnKeyring, SavedAccountsComeBackExactly)
{
    const std::pair<QString, QString> accounts[] = {
        { QStringLiteral("jsmith"), QStringLiteral("plain") },
        { QStringLiteral("j\"smith"), QStringLiteral("say \"hi\" and \"\"") },
        { QStringLiteral("back\\slash"), QStringLiteral("\\n is not a line break\\") },
        { QStringLiteral("jürgen 鍵"), QStringLiteral("ünïcødé 🔑") },
        { QStringLiteral("j smith"), QStringLiteral("inner  spaces\tand\ttabs") },
        { QStringLiteral("line\nbreak"), QStringLiteral("line\nbreak\r\nand\rreturn") },
        { QStringLiteral("0x41"), QStringLiteral("0x41") },
    };
    for (const auto& [username, password] : accounts) {
        application.type(username, password);
        delegate.preferencesWindow->show();
        delegate.saveCredentialsToKeychain();
        EXPECT_FALSE(application.preferencesInFront());
        EXPECT_EQ(delegate.username, username);
        EXPECT_EQ(delegate.password, password);

        application.type(QString(), QString());
        delegate.loadCredentialsFromKeychain();
        EXPECT_EQ(delegate.username, username);
        EXPECT_EQ(delegate.password, password);
        EXPECT_EQ(delegate.usernameField->text(), username);
        EXPECT_EQ(delegate.passwordField->text(), password);
        EXPECT_FALSE(application.preferencesInFront()) << username.toStdString();
    }

    // Opening the preferences with a complete account shows it, in front.
    application.type(QStringLiteral("typed"), QStringLiteral("typed"));
    delegate.showPreferences();
    EXPECT_EQ(delegate.usernameField->text(), QStringLiteral("0x41"));
    EXPECT_TRUE(application.preferencesInFront());
}

TEST_F(AccountOnKeyring, SaveCleansWhatWasTypedAndSignsTheWebViewOut)
{
    application.type(QStringLiteral("  mailto:jsmith\n"), QStringLiteral("\t pw \u2028"));
    delegate.saveCredentialsToKeychain();
    EXPECT_EQ(delegate.username, QStringLiteral("jsmith"));
    EXPECT_EQ(delegate.usernameField->text(), QStringLiteral("jsmith"));
    EXPECT_EQ(delegate.password, QStringLiteral("pw"));
    EXPECT_EQ(delegate.passwordField->text(), QStringLiteral("pw"));
    EXPECT_EQ(delegate.webView->page()->requestedUrl(),
        QUrl(QStringLiteral("https://logs.tapescribe.test/index.php/users/logout")));

    delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(delegate.username, QStringLiteral("jsmith"));
    EXPECT_EQ(delegate.password, QStringLiteral("pw"));
}

TEST_F(AccountOnKeyring, AnAccountLackingAPartBringsThePreferencesForward)
{
    application.type(QStringLiteral("jsmith"), QStringLiteral("   "));
    delegate.saveCredentialsToKeychain();
    delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(delegate.username, QStringLiteral("jsmith"));
    EXPECT_EQ(delegate.password, QString());
    EXPECT_TRUE(application.preferencesInFront());

    delegate.preferencesWindow->hide();
    application.type(QString(), QStringLiteral("pw"));
    delegate.saveCredentialsToKeychain();
    delegate.loadCredentialsFromKeychain();
    EXPECT_EQ(delegate.username, QString());
    EXPECT_EQ(delegate.password, QStringLiteral("pw"));
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
        EXPECT_EQ(application.delegate.username, QString());
        EXPECT_EQ(application.delegate.password, QString());
        EXPECT_EQ(application.delegate.usernameField->text(), QStringLiteral("typed"));
        EXPECT_TRUE(application.preferencesInFront());
    }
}

// A stand-in for the keyring tool that records, for each run, its arguments and what it read on its
// standard input.
class RecordingKeyringTool
{
public:
    RecordingKeyringTool()
    {
        const QString script = folder.filePath(QStringLiteral("tapescribe-security"));
        QFile file(script);
        file.open(QIODevice::WriteOnly);
        file.write("#!/bin/sh\n"
                   "folder=$(dirname \"$0\")\n"
                   "run=$(ls \"$folder\" | grep -c '\\.arguments$')\n"
                   "printf '%s\\0' \"$@\" > \"$folder/$run.arguments\"\n"
                   "if [ \"$1\" = add-generic-password ]; then cat > \"$folder/$run.input\"; fi\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Platform::setHelperToolFolder(folder.path());
    }
    ~RecordingKeyringTool() { Platform::setHelperToolFolder(QString()); }

    QList<QByteArray> arguments(int run) const
    {
        QFile file(folder.filePath(QString::number(run) + QStringLiteral(".arguments")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> found = file.readAll().split('\0');
        found.removeLast();
        return found;
    }
    std::optional<QByteArray> input(int run) const
    {
        QFile file(folder.filePath(QString::number(run) + QStringLiteral(".input")));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }

private:
    QTemporaryDir folder;
};

TEST(AccountSave, ThePasswordNeverStandsInAnArgumentList)
{
    const QString password = QStringLiteral("pässword \"with\" -w and\nline");
    for (const auto& [username, typedPassword] :
        { std::pair { QStringLiteral("jsmith"), password }, std::pair { QString(), QString() } }) {
        RecordingKeyringTool tool;
        Application application;
        application.type(username, typedPassword);
        application.delegate.saveCredentialsToKeychain();

        // The old item goes first, then the new one comes with its password on standard input.
        using Arguments = QList<QByteArray>;
        EXPECT_EQ(
            tool.arguments(0), (Arguments { "delete-generic-password", "-s", "Fernwright account details" }));
        EXPECT_EQ(tool.arguments(1),
            (Arguments {
                "add-generic-password", "-a", username.toUtf8(), "-s", "Fernwright account details", "-w" }));
        EXPECT_EQ(tool.input(1), typedPassword.toUtf8());
        EXPECT_TRUE(tool.arguments(2).isEmpty());
    }
}

}
