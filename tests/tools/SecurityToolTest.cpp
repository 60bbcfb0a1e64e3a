// Before any Qt header: GLib names a structure field "signals", which Qt defines as a keyword.
#include <libsecret/secret.h>

#include "support/PrivateKeyring.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

const QString service = QStringLiteral("Fernwright account details");

struct ToolRun
{
    int status = -1; // -1: did not finish
    QByteArray output;
    QByteArray error;
};

// Runs tapescribe-security to its end. The limit is far above the tool's own: a run that reaches it hung.
ToolRun run(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess tool;
    tool.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-security")), arguments);
    tool.write(input);
    tool.waitForBytesWritten(60000);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
        return {};
    return { tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError() };
}

ToolRun add(const QString& account, const QByteArray& password, const QString& itemService = service)
{
    return run({ QStringLiteral("add-generic-password"), QStringLiteral("-a"), account, QStringLiteral("-s"),
                   itemService, QStringLiteral("-w") },
        password);
}
ToolRun find(const QString& itemService = service)
{
    return run(
        { QStringLiteral("find-generic-password"), QStringLiteral("-g"), QStringLiteral("-s"), itemService });
}
ToolRun remove()
{
    return run({ QStringLiteral("delete-generic-password"), QStringLiteral("-s"), service });
}

// A failed run prints nothing on standard output, which the application would take for an item, and says
// why on standard error without a double quote, which the application could take for a password.
void expectRefusal(const ToolRun& refused, int status, const char* reason)
{
    EXPECT_EQ(refused.status, status) << refused.error.constData();
    EXPECT_TRUE(refused.output.isEmpty()) << refused.output.constData();
    EXPECT_TRUE(refused.error.contains(reason)) << refused.error.constData();
    EXPECT_FALSE(refused.error.contains('"')) << refused.error.constData();
}

// What is printed for tricky values is read back by the application's own tests through this tool; here,
// what a run does to the keyring and how it ends.
TEST(SecurityTool, DeletesOnlyItsOwnServicesItemAndReportsAMissingOne)
{
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
    expectRefusal(find(), 1, "could not be found");
    expectRefusal(remove(), 1, "could not be found");

    // The password may also stand after -w.
    ASSERT_EQ(run({ QStringLiteral("add-generic-password"), QStringLiteral("-s"), QStringLiteral("Other"),
                      QStringLiteral("-w"), QStringLiteral("given") })
                  .status,
        0);
    ASSERT_EQ(add(QStringLiteral("jsmith"), "pw").status, 0);
    const ToolRun found = find();
    EXPECT_TRUE(found.output.contains("\n    \"acct\"<blob>=\"jsmith\"\n")) << found.output.constData();
    EXPECT_TRUE(found.output.contains("\n    \"svce\"<blob>=\"Fernwright account details\"\n"));
    EXPECT_EQ(found.error, "password: \"pw\"\n");

    ASSERT_EQ(remove().status, 0);
    expectRefusal(find(), 1, "could not be found");
    EXPECT_EQ(find(QStringLiteral("Other")).error, "password: \"given\"\n");
}

TEST(SecurityTool, FindsAnItemSavedByAnotherProgram)
{
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
    // Saved as secret-tool and most programs do: with the generic schema's name among the attributes.
    const SecretSchema generic = { "org.freedesktop.Secret.Generic", SECRET_SCHEMA_NONE,
        { { "service", SECRET_SCHEMA_ATTRIBUTE_STRING }, { "account", SECRET_SCHEMA_ATTRIBUTE_STRING },
            { nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING } },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    GError* error = nullptr;
    const bool stored
        = secret_password_store_sync(&generic, SECRET_COLLECTION_DEFAULT, "elsewhere", "elsewhere-pw",
            nullptr, &error, "service", "Fernwright account details", "account", "elsewhere", nullptr);
    // This process's connection must not outlive the private bus.
    secret_service_disconnect();
    ASSERT_TRUE(stored) << (error ? error->message : "");

    const ToolRun found = find();
    EXPECT_TRUE(found.output.contains("    \"acct\"<blob>=\"elsewhere\"\n")) << found.output.constData();
    EXPECT_EQ(found.error, "password: \"elsewhere-pw\"\n");
}

TEST(SecurityTool, AnswersClearlyWhenTheKeyringIsLockedAbsentOrSilent)
{
    {
        PrivateKeyring keyring;
        ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
        ASSERT_EQ(add(QStringLiteral("jsmith"), "pw").status, 0);
        ASSERT_TRUE(keyring.lockLoginKeyring());
        // Reported, not prompted for: nobody could answer a prompt within the tool's time limit.
        expectRefusal(find(), 3, "locked");
        expectRefusal(add(QStringLiteral("other"), "pw"), 3, "locked");
        expectRefusal(remove(), 3, "locked");
    }
    for (const auto kind : { PrivateKeyring::Kind::NoBus, PrivateKeyring::Kind::NoService }) {
        PrivateKeyring keyring(kind);
        ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString();
        expectRefusal(find(), 3, "Secret Service");
    }
    PrivateKeyring silent(PrivateKeyring::Kind::Unanswering);
    ASSERT_TRUE(silent.isReady()) << silent.whyNotReady().toStdString();
    expectRefusal(add(QStringLiteral("jsmith"), "pw"), 3, "did not answer within 4 seconds");

    const ToolRun wrong = run({ QStringLiteral("find-generic-password"), QStringLiteral("-g") });
    expectRefusal(wrong, 2, "needs -s service");
    EXPECT_TRUE(wrong.error.contains("usage: tapescribe-security"));
}

}
