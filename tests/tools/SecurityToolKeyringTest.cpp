// Before any Qt header: GLib names a structure field "signals", which Qt defines as a keyword.
#include <libsecret/secret.h>

#include "support/PrivateKeyring.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <optional>

namespace {

const QString service = QStringLiteral("Fernwright account details");

struct ToolRun
{
    bool finished = false;
    int status = -1;
    QByteArray output;
    QByteArray error;
};

// Runs tapescribe-security to its end. The limit is far above the tool's own: a run that reaches it hung.
ToolRun runTool(const QStringList& arguments, const std::optional<QByteArray>& input = std::nullopt)
{
    QProcess tool;
    tool.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-security")), arguments);
    if (!tool.waitForStarted(60000))
        return {};
    if (input && !input->isEmpty()) {
        tool.write(*input);
        tool.waitForBytesWritten(60000);
    }
    tool.closeWriteChannel();
    ToolRun run;
    run.finished = tool.waitForFinished(60000);
    run.status = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.output = tool.readAllStandardOutput();
    run.error = tool.readAllStandardError();
    return run;
}

ToolRun addAccount(const QString& account, const QByteArray& password)
{
    return runTool({ QStringLiteral("add-generic-password"), QStringLiteral("-a"), account,
                       QStringLiteral("-s"), service, QStringLiteral("-w") },
        password);
}

ToolRun findAccount()
{
    return runTool(
        { QStringLiteral("find-generic-password"), QStringLiteral("-g"), QStringLiteral("-s"), service });
}

// A failed run says why on standard error, without a double quote the application could take for a
// password, and prints nothing on standard output, which the application would take for an item.
void expectRefusal(const ToolRun& run, int status, const char* reason)
{
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.status, status) << run.error.constData();
    EXPECT_TRUE(run.output.isEmpty()) << run.output.constData();
    EXPECT_TRUE(run.error.startsWith("tapescribe-security: ")) << run.error.constData();
    EXPECT_TRUE(run.error.contains(reason)) << run.error.constData();
    EXPECT_FALSE(run.error.contains('"')) << run.error.constData();
}

class SecurityToolOnKeyring : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(keyring.isReady()) << keyring.whyNotReady().toStdString(); }
    PrivateKeyring keyring;
};

TEST_F(SecurityToolOnKeyring, SavedAccountsComeBackInTheFormTheApplicationReads)
{
    struct Case
    {
        QString account;
        QByteArray password;
        QByteArray accountLine;
        QByteArray passwordLine;
    };
    for (const Case& saved : {
             Case { QStringLiteral("jsmith"), "s3cret pass\tword\\", R"(    "acct"<blob>="jsmith")",
                 "password: \"s3cret pass\tword\\\"\n" },
             Case { QStringLiteral("j\"smith"), "say \"hi\"", R"(    "acct"<blob>=0x6A22736D697468)",
                 "password: 0x7361792022686922\n" },
             Case { QStringLiteral("jürgen"), "line\nbreak\r\n", R"(    "acct"<blob>=0x6AC3BC7267656E)",
                 "password: 0x6C696E650A627265616B0D0A\n" },
             Case { QString(), QByteArray(), R"(    "acct"<blob>=0x)", "password: 0x\n" },
         }) {
        const ToolRun added = addAccount(saved.account, saved.password);
        ASSERT_TRUE(added.finished);
        EXPECT_EQ(added.status, 0) << added.error.constData();

        const ToolRun found = findAccount();
        ASSERT_TRUE(found.finished);
        EXPECT_EQ(found.status, 0) << found.error.constData();
        EXPECT_TRUE(found.output.split('\n').contains(saved.accountLine)) << found.output.constData();
        EXPECT_TRUE(found.output.contains("    \"svce\"<blob>=\"Fernwright account details\"\n"));
        EXPECT_EQ(found.error, saved.passwordLine);

        ASSERT_EQ(
            runTool({ QStringLiteral("delete-generic-password"), QStringLiteral("-s"), service }).status, 0);
    }

    // The password may also stand after -w.
    ASSERT_EQ(runTool({ QStringLiteral("add-generic-password"), QStringLiteral("-a"), QStringLiteral("a"),
                          QStringLiteral("-s"), service, QStringLiteral("-w"), QStringLiteral("given") })
                  .status,
        0);
    EXPECT_EQ(findAccount().error, "password: \"given\"\n");
    // Without -g the password stays unsaid.
    const ToolRun withoutPassword
        = runTool({ QStringLiteral("find-generic-password"), QStringLiteral("-s"), service });
    EXPECT_EQ(withoutPassword.status, 0);
    EXPECT_FALSE(withoutPassword.output.isEmpty());
    EXPECT_TRUE(withoutPassword.error.isEmpty());
}

TEST_F(SecurityToolOnKeyring, AMissingItemPrintsNothingAndFails)
{
    expectRefusal(findAccount(), 1, "could not be found");
    expectRefusal(runTool({ QStringLiteral("delete-generic-password"), QStringLiteral("-s"), service }), 1,
        "could not be found");

    // A delete removes the item, and only the item of its own service.
    ASSERT_EQ(addAccount(QStringLiteral("jsmith"), "pw").status, 0);
    ASSERT_EQ(runTool({ QStringLiteral("add-generic-password"), QStringLiteral("-s"), QStringLiteral("Other"),
                          QStringLiteral("-w"), QStringLiteral("x") })
                  .status,
        0);
    ASSERT_EQ(
        runTool({ QStringLiteral("delete-generic-password"), QStringLiteral("-s"), service }).status, 0);
    expectRefusal(findAccount(), 1, "could not be found");
    EXPECT_EQ(
        runTool({ QStringLiteral("find-generic-password"), QStringLiteral("-s"), QStringLiteral("Other") })
            .status,
        0);
}

TEST_F(SecurityToolOnKeyring, FindsAnItemSavedByAnotherProgram)
{
    // Saved the way secret-tool and most programs do: with the generic schema's name among the attributes.
    const SecretSchema generic = { "org.freedesktop.Secret.Generic", SECRET_SCHEMA_NONE,
        { { "service", SECRET_SCHEMA_ATTRIBUTE_STRING }, { "account", SECRET_SCHEMA_ATTRIBUTE_STRING },
            { nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING } },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr };
    GError* error = nullptr;
    const bool stored
        = secret_password_store_sync(&generic, SECRET_COLLECTION_DEFAULT, "saved elsewhere", "elsewhere-pw",
            nullptr, &error, "service", "Fernwright account details", "account", "elsewhere", nullptr);
    // This process's own connection must not outlive the private bus.
    secret_service_disconnect();
    ASSERT_TRUE(stored) << (error ? error->message : "");

    const ToolRun found = findAccount();
    EXPECT_EQ(found.status, 0) << found.error.constData();
    EXPECT_TRUE(found.output.contains("    \"acct\"<blob>=\"elsewhere\"\n")) << found.output.constData();
    EXPECT_EQ(found.error, "password: \"elsewhere-pw\"\n");
}

TEST_F(SecurityToolOnKeyring, ALockedKeyringIsReportedNotPromptedFor)
{
    ASSERT_EQ(addAccount(QStringLiteral("jsmith"), "pw").status, 0);
    ASSERT_TRUE(keyring.lockLoginKeyring());
    expectRefusal(findAccount(), 3, "locked");
    expectRefusal(addAccount(QStringLiteral("other"), "pw"), 3, "locked");
    expectRefusal(
        runTool({ QStringLiteral("delete-generic-password"), QStringLiteral("-s"), service }), 3, "locked");
}

TEST(SecurityToolWithoutKeyring, AnswersClearlyWhenNoServiceIsThere)
{
    {
        PrivateKeyring nothingListens(PrivateKeyring::Kind::NoBus);
        expectRefusal(findAccount(), 3, "cannot reach the Secret Service");
        expectRefusal(addAccount(QStringLiteral("jsmith"), "pw"), 3, "cannot reach the Secret Service");
    }
    {
        PrivateKeyring busOnly(PrivateKeyring::Kind::NoService);
        ASSERT_TRUE(busOnly.isReady()) << busOnly.whyNotReady().toStdString();
        expectRefusal(findAccount(), 3, "Secret Service");
    }
    {
        // The tool gives up by itself; the run's own limit is far above the tool's.
        PrivateKeyring silent(PrivateKeyring::Kind::Unanswering);
        ASSERT_TRUE(silent.isReady()) << silent.whyNotReady().toStdString();
        expectRefusal(findAccount(), 3, "did not answer within 4 seconds");
        expectRefusal(addAccount(QStringLiteral("jsmith"), "pw"), 3, "did not answer within 4 seconds");
    }
}

TEST(SecurityToolUsage, AWrongCommandLineShowsTheUsage)
{
    const ToolRun run = runTool({ QStringLiteral("find-generic-password"), QStringLiteral("-g") });
    expectRefusal(run, 2, "needs -s service");
    EXPECT_TRUE(run.error.contains("usage: tapescribe-security"));
}

}
