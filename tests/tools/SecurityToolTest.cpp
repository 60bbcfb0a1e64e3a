// Before any Qt header: GLib names a structure field "signals", which Qt defines as a keyword.
#include <libsecret/secret.h>

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

    // Saved as secret-tool and most programs do: with the generic schema's name among the attributes.
    SecretSchema* generic = secret_schema_new("org.freedesktop.Secret.Generic", SECRET_SCHEMA_NONE, "service",
        SECRET_SCHEMA_ATTRIBUTE_STRING, "account", SECRET_SCHEMA_ATTRIBUTE_STRING, nullptr);
    GError* error = nullptr;
    const bool stored
        = secret_password_store_sync(generic, SECRET_COLLECTION_DEFAULT, "elsewhere", "elsewhere-pw", nullptr,
            &error, "service", "Fernwright account details", "account", "elsewhere", nullptr);
    secret_schema_unref(generic);
    // This process's connection must not outlive the private bus.
    secret_service_disconnect();
    ASSERT_TRUE(stored) << (error ? error->message : "");
    const ToolRun found = find();
    EXPECT_TRUE(found.output.contains("\n    \"acct\"<blob>=\"elsewhere\"\n")) << found.output.constData();
    EXPECT_EQ(found.error, "password: \"elsewhere-pw\"\n");

    // The password may also stand after -w.
    ASSERT_EQ(run({ u"add-generic-password"_s, u"-s"_s, u"Other"_s, u"-w"_s, u"given"_s }).status, 0);
    ASSERT_EQ(run({ u"delete-generic-password"_s, u"-s"_s, service }).status, 0);
    expectRefusal(find(), 1, "could not be found");
    EXPECT_EQ(find(u"Other"_s).error, "password: \"given\"\n");
}

TEST(SecurityTool, ReportsALockedKeyringAndAWrongCommandLine)
{
    PrivateKeyring keyring;
    ASSERT_EQ(keyring.problem(), "");
    const QStringList add { u"add-generic-password"_s, u"-a"_s, u"jsmith"_s, u"-s"_s, service, u"-w"_s };
    ASSERT_EQ(run(add, "pw").status, 0);
    ASSERT_TRUE(keyring.lockLoginKeyring());
    // Reported, not prompted for: nobody could answer a prompt within the tool's time limit.
    expectRefusal(find(), 3, "locked");
    expectRefusal(run(add, "pw"), 3, "locked");

    const ToolRun wrong = run({ u"find-generic-password"_s, u"-g"_s });
    expectRefusal(wrong, 2, "needs -s service");
    EXPECT_TRUE(wrong.error.contains("usage: tapescribe-security"));
}

}
