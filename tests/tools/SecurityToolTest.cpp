#include "support/PrivateKeyring.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// What is printed for tricky values is read back by the application's own tests through this tool; here,
// what a run does to the keyring and how it ends.
namespace {

const QString service = u"Fernwright account details"_s;

// Runs tapescribe-security to its end.
ToolRun run(const QStringList& arguments, const QByteArray& input = {})
{
    return runTool(TestEnvironment::builtProgram(u"tapescribe-security"_s), arguments, input);
}

ToolRun find(const QString& itemService = service)
{
    return run({ u"find-generic-password"_s, u"-g"_s, u"-s"_s, itemService });
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

TEST(SecurityTool, FindsAndDeletesOnlyItsServicesItemWhoeverSavedIt)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    expectRefusal(find(), 1, "could not be found");

    // Saved by another program, secret-tool: with the generic schema's name among the attributes.
    const ToolRun stored = runTool(u"secret-tool"_s,
        { u"store"_s, u"--label=elsewhere"_s, u"service"_s, u"Fernwright account details"_s, u"account"_s,
            u"elsewhere"_s },
        "elsewhere-pw");
    ASSERT_EQ(stored.status, 0) << stored.error.constData();
    const ToolRun found = find();
    EXPECT_TRUE(found.output.contains("\n    \"acct\"<blob>=\"elsewhere\"\n")) << found.output.constData();
    EXPECT_EQ(found.error, "password: \"elsewhere-pw\"\n");

    // The password may also stand after -w.
    ASSERT_EQ(run({ u"add-generic-password"_s, u"-s"_s, u"Other"_s, u"-w"_s, u"given"_s }).status, 0);
    ASSERT_EQ(run({ u"delete-generic-password"_s, u"-s"_s, service }).status, 0);
    expectRefusal(find(), 1, "could not be found");
    EXPECT_EQ(find(u"Other"_s).error, "password: \"given\"\n");
}

const QStringList unlock { u"unlock-keychain"_s };

TEST(SecurityTool, ReportsALockedKeyringAndAWrongCommandLine)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    const QStringList add { u"add-generic-password"_s, u"-a"_s, u"jsmith"_s, u"-s"_s, service, u"-w"_s };
    ASSERT_EQ(run(add, "pw").status, 0);
    ASSERT_TRUE(keyring.lockLoginKeyring());
    // Reported, not prompted for: a read at launch must not put a password prompt in front of the user.
    expectRefusal(find(), 4, "locked");
    expectRefusal(run(add, "pw"), 4, "locked");
    // An unlock asks, but where no prompt can be shown the keyring stays locked.
    expectRefusal(run(unlock), 4, "stays locked");
    expectRefusal(find(), 4, "locked");

    const ToolRun wrong = run({ u"find-generic-password"_s, u"-g"_s });
    expectRefusal(wrong, 2, "needs -s service");
    EXPECT_TRUE(wrong.error.contains("usage: tapescribe-security"));
    expectRefusal(run({ u"unlock-keychain"_s, u"-s"_s, service }), 2, "unexpected argument -s");
}

TEST(SecurityTool, UnlockAsksOnlyALockedKeyringAndTakesWhatTheUserTypes)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    ASSERT_EQ(run({ u"add-generic-password"_s, u"-s"_s, service, u"-w"_s, u"pw"_s }).status, 0);
    // Unlocked already: nothing to ask, and no prompter to ask with.
    EXPECT_EQ(run(unlock).status, 0);
    ASSERT_TRUE(keyring.lockLoginKeyring());

    if (!keyring.answerUnlockPrompt(std::nullopt))
        GTEST_SKIP() << "the password prompt needs an X display";
    expectRefusal(run(unlock), 4, "stays locked");
    expectRefusal(find(), 4, "locked");

    ASSERT_TRUE(keyring.answerUnlockPrompt(PrivateKeyring::loginPassword));
    const ToolRun unlocked = run(unlock);
    EXPECT_EQ(unlocked.status, 0) << unlocked.error.constData();
    EXPECT_EQ(find().error, "password: \"pw\"\n");
}

TEST(SecurityTool, WithoutAKeyringServiceEachCommandSaysSo)
{
    for (const auto kind : { PrivateKeyring::Kind::NoBus, PrivateKeyring::Kind::Unanswering }) {
        PrivateKeyring keyring(kind);
        ASSERT_EQ(keyring.problem(), "");
        for (const QStringList& arguments :
            { unlock, QStringList { u"find-generic-password"_s, u"-s"_s, service } })
            EXPECT_EQ(run(arguments).status, 3) << arguments.join(u' ').toStdString();
    }
}

}
