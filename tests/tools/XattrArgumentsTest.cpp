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

bool refused(const std::vector<std::string>& arguments)
{
    return std::holds_alternative<xattr::UsageError>(xattr::parseArguments(arguments));
}

TEST(XattrArguments, ReadsTheThreeActions)
{
    const auto write
        = parsed({ "-w", "com.FernwrightSystem.logStartTime", "2016-03-01 14:05:09 +0000", "/a b.mov" });
    EXPECT_EQ(write.action, Action::Write);
    EXPECT_EQ(write.name, "user.com.FernwrightSystem.logStartTime");
    EXPECT_EQ(write.value, "2016-03-01 14:05:09 +0000");
    EXPECT_EQ(write.files, std::vector<std::string> { "/a b.mov" });

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
    EXPECT_EQ(dashes.value, "-value");
}

TEST(XattrArguments, NamesKeepALinuxNamespaceAndGainUserOtherwise)
{
    EXPECT_EQ(xattr::kernelAttributeName("user.stamp"), "user.stamp");
    EXPECT_EQ(xattr::kernelAttributeName("trusted.x"), "trusted.x");
    EXPECT_EQ(xattr::kernelAttributeName("security.selinux"), "security.selinux");
    EXPECT_EQ(xattr::kernelAttributeName("system.posix_acl_access"), "system.posix_acl_access");
    EXPECT_EQ(xattr::kernelAttributeName("users.x"), "user.users.x");
    EXPECT_EQ(xattr::kernelAttributeName("user"), "user.user");
}

TEST(XattrArguments, RefusesWhatCannotBeCarriedOut)
{
    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused({ "name", "file" }));
    EXPECT_TRUE(refused({ "-x", "name", "file" }));
    EXPECT_TRUE(refused({ "-w", "-p", "name", "file" }));
    EXPECT_TRUE(refused({ "-w", "name", "value" })); // no file
    EXPECT_TRUE(refused({ "-p", "name" }));
    EXPECT_TRUE(refused({ "-d", "name" }));
    EXPECT_TRUE(refused({ "-r", "-p", "name", "file" }));
    EXPECT_TRUE(refused({ "-p", "", "file" }));
}

}
