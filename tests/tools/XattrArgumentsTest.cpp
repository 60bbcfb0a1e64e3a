#include "XattrArguments.h"

#include <gtest/gtest.h>

namespace {

using xattr::Action;

xattr::Invocation parsed(const std::vector<std::string>& arguments)
{
    const auto result = xattr::parseArguments(arguments);
    EXPECT_TRUE(std::holds_alternative<xattr::Invocation>(result));
    return std::holds_alternative<xattr::Invocation>(result) ? std::get<xattr::Invocation>(result)
                                                             : xattr::Invocation {};
}

TEST(XattrArguments, ReadsTheActionsInAnyOrderAndOperandsAfterDashes)
{
    const auto print = parsed({ "-p", "stamp", "x", "y" });
    EXPECT_EQ(print.action, Action::Print);
    EXPECT_EQ(print.files, (std::vector<std::string> { "x", "y" }));

    for (const auto& arguments : { std::vector<std::string> { "-d", "-r", "com.apple.quarantine", "App" },
             std::vector<std::string> { "-r", "-d", "com.apple.quarantine", "App" },
             std::vector<std::string> { "-rd", "com.apple.quarantine", "App" } }) {
        const auto remove = parsed(arguments);
        EXPECT_EQ(remove.action, Action::Delete);
        EXPECT_TRUE(remove.recursive);
        EXPECT_EQ(remove.name, "user.com.apple.quarantine");
    }
    // Operands that look like options once the options have ended.
    const auto dashes = parsed({ "-w", "--", "-name", "-value", "-file" });
    EXPECT_EQ(dashes.name, "user.-name");
    EXPECT_EQ(dashes.action, Action::Write);
    EXPECT_EQ(dashes.value, "-value");
    EXPECT_EQ(dashes.files, std::vector<std::string> { "-file" });
}

TEST(XattrArguments, NamesKeepALinuxNamespaceAndGainUserOtherwise)
{
    for (const auto& [given, kernel] : { std::pair { "user.stamp", "user.stamp" },
             { "trusted.x", "trusted.x" }, { "security.selinux", "security.selinux" },
             { "system.posix_acl_access", "system.posix_acl_access" }, { "users.x", "user.users.x" },
             { "user", "user.user" } })
        EXPECT_EQ(xattr::kernelAttributeName(given), kernel);
}

TEST(XattrArguments, RefusesWhatCannotBeCarriedOut)
{
    for (const std::vector<std::string>& arguments :
        std::initializer_list<std::vector<std::string>> { {}, { "name", "file" }, { "-x", "name", "file" },
            { "-w", "-p", "name", "file" }, { "-w", "name", "value" }, { "-p", "name" }, { "-d", "name" },
            { "-r", "-p", "name", "file" }, { "-p", "", "file" } })
        EXPECT_TRUE(std::holds_alternative<xattr::UsageError>(xattr::parseArguments(arguments)))
            << testing::PrintToString(arguments);
}

}
