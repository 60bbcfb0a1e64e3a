#include "SecurityArguments.h"
#include "SecurityOutput.h"

#include <gtest/gtest.h>

namespace {

using Operation = SecurityRequest::Operation;

ParsedArguments parse(std::vector<std::string> arguments)
{
    return parseSecurityArguments(arguments);
}

TEST(SecurityArguments, ReadsTheApplicationsThreeCommandLines)
{
    const auto find = parse({ "find-generic-password", "-g", "-s", "Fernwright account details" });
    ASSERT_TRUE(find.request) << find.error;
    EXPECT_EQ(find.request->operation, Operation::Find);
    EXPECT_EQ(find.request->service, "Fernwright account details");
    EXPECT_TRUE(find.request->showPassword);

    const auto remove = parse({ "delete-generic-password", "-s", "Fernwright account details" });
    ASSERT_TRUE(remove.request) << remove.error;
    EXPECT_EQ(remove.request->operation, Operation::Delete);

    // The password after -w, and -w last, which reads standard input.
    const auto addWithValue = parse({ "add-generic-password", "-a", "", "-s", "svc", "-w", "-s" });
    ASSERT_TRUE(addWithValue.request) << addWithValue.error;
    EXPECT_EQ(addWithValue.request->account, "");
    EXPECT_EQ(addWithValue.request->password, "-s");
    EXPECT_FALSE(addWithValue.request->passwordFromInput);

    const auto addFromInput = parse({ "add-generic-password", "-a", "j smith", "-s", "svc", "-w" });
    ASSERT_TRUE(addFromInput.request) << addFromInput.error;
    EXPECT_EQ(addFromInput.request->account, "j smith");
    EXPECT_TRUE(addFromInput.request->passwordFromInput);
}

TEST(SecurityArguments, RefusesWhatItCannotDoSafely)
{
    for (const auto& arguments : std::vector<std::vector<std::string>> {
             {},
             { "dump-keychain" },
             { "find-generic-password", "-g" }, // no service: every item would match
             { "delete-generic-password" },
             { "add-generic-password", "-a", "jsmith", "-w", "pw" },
             { "find-generic-password", "-s" }, // a value missing at the end
             { "add-generic-password", "-s", "svc", "-a" },
             { "find-generic-password", "-s", "svc", "-w" }, // an option of another command
             { "delete-generic-password", "-g", "-s", "svc" },
             { "add-generic-password", "-s", "svc", "-g" },
             { "find-generic-password", "-s", "svc", "extra" },
         }) {
        const auto parsed = parseSecurityArguments(arguments);
        EXPECT_FALSE(parsed.request) << (arguments.empty() ? "(none)" : arguments.front());
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(SecurityOutput, QuotesOnlyWhatSurvivesAReaderThatCutsAtQuotesAndLines)
{
    EXPECT_EQ(printedValue("jsmith"), "\"jsmith\"");
    EXPECT_EQ(printedValue(" back\\slash\tand tab "), "\" back\\slash\tand tab \"");
    EXPECT_EQ(printedValue("~!#$%&'()*+,-./:;<=>?@[]^_`{|}"), "\"~!#$%&'()*+,-./:;<=>?@[]^_`{|}\"");

    EXPECT_EQ(printedValue("say \"hi\""), "0x7361792022686922");
    EXPECT_EQ(printedValue("a\nb"), "0x610A62");
    EXPECT_EQ(printedValue("a\rb"), "0x610D62");
    EXPECT_EQ(printedValue("\xC3\xA9"), "0xC3A9");
    EXPECT_EQ(printedValue(std::string("\x01\x7F", 2)), "0x017F");
    EXPECT_EQ(printedValue(std::string("a\0b", 3)), "0x610062");
    // Between quotes an empty value would leave the reader the line end as its password.
    EXPECT_EQ(printedValue(""), "0x");
}

TEST(SecurityOutput, ReportsTheItemAttributesAndPasswordLines)
{
    FoundItem item;
    item.keyring = "/org/freedesktop/secrets/collection/login";
    item.account = "jsmith";
    item.label = "Fernwright account details";
    item.service = "Fernwright account details";
    item.created = 0;
    item.modified = 1700000000;
    EXPECT_EQ(itemReport(item),
        "keychain: \"/org/freedesktop/secrets/collection/login\"\n"
        "class: \"genp\"\n"
        "attributes:\n"
        "    \"acct\"<blob>=\"jsmith\"\n"
        "    \"cdat\"<timedate>=\"19700101000000Z\"\n"
        "    \"labl\"<blob>=\"Fernwright account details\"\n"
        "    \"mdat\"<timedate>=\"20231114221320Z\"\n"
        "    \"svce\"<blob>=\"Fernwright account details\"\n");

    item.account.reset();
    EXPECT_NE(itemReport(item).find("    \"acct\"<blob>=<NULL>\n"), std::string::npos);
    item.account = "a\"b";
    EXPECT_NE(itemReport(item).find("    \"acct\"<blob>=0x612262\n"), std::string::npos);

    EXPECT_EQ(passwordReport("secret"), "password: \"secret\"\n");
    EXPECT_EQ(passwordReport("se\"cret"), "password: 0x73652263726574\n");
}

}
