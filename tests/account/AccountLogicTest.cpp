#include "account/AccountInput.h"
#include "account/KeychainOutput.h"
#include "app/AsciiText.h"

#include "SecurityOutput.h"

#include <gtest/gtest.h>

namespace {

const QString item = QStringLiteral("class: \"genp\"\n    \"acct\"<blob>=\"jsmith\"\n");
const QString secret = QStringLiteral("password: \"pw\"\n");

TEST(KeychainOutput, ReadsTheAccountLineAndThePassword)
{
    EXPECT_FALSE(storedAccount(QString(), secret));
    EXPECT_FALSE(storedAccount(QStringLiteral("\n\n"), secret));
    const std::pair<QString, QString> usernames[] = {
        { item, QStringLiteral("jsmith") },
        { QStringLiteral("    \"acct\"<blob>=<NULL>\n"), QString() }, // three pieces or fewer
        { QStringLiteral("    \"acct\"<blob>=\"first\"\n    \"acct\"<blob>=\"second\"\n"),
            QStringLiteral("first") },
        { QStringLiteral("   \"acct\"<blob>=\"three\"\n     \"acct\"<blob>=\"five\"\n"), QString() },
        { QStringLiteral("class: \"genp\"\r\n    \"acct\"<blob>=\"jsmith\"\n"),
            QString() }, // CR LF is no line end
        { QStringLiteral("class: \"genp\"\r\n\n    \"acct\"<blob>=\"jsmith\""), QStringLiteral("jsmith") },
        { QStringLiteral("    \"acct\"<blob>=\"j\"smith\"\n"), QStringLiteral("j") },
        { QStringLiteral("    \"acct\"<blob>=0x6AC3BC7267656E\n"), QStringLiteral("jürgen") },
        { QStringLiteral("    \"acct\"<blob>=0x6G\n"), QString() },
    };
    for (const auto& [output, username] : usernames)
        EXPECT_EQ(storedAccount(output, secret)->username, username) << output.toStdString();

    const std::pair<QString, QString> passwords[] = {
        { QStringLiteral("password: none\n"), QString() },
        { QStringLiteral("password: \"ab\"cd\"\n"), QStringLiteral("ab") },
        { QStringLiteral("password: \"a\nb\\n\"\n"), QStringLiteral("a\nb\\n") }, // all lines, no escapes
        { QStringLiteral("password: 0x7361792022686922\n"), QStringLiteral("say \"hi\"") },
        { QStringLiteral("password: 0x0d0A\n"), QStringLiteral("\r\n") },
        { QStringLiteral("password: 0x\n"), QString() },
        { QStringLiteral("password: 0x616\n"), QString() }, // not whole pairs: not the hexadecimal form
        { QStringLiteral("password: \"0x41\"\n"), QStringLiteral("0x41") },
    };
    for (const auto& [error, password] : passwords)
        EXPECT_EQ(storedAccount(item, error)->password, password) << error.toStdString();
}

// What tapescribe-security prints, decoded as the command runner decodes it, reads back as what was saved.
TEST(KeychainOutput, ReadsBackWhateverTheKeyringToolPrints)
{
    for (const QString& value : { QStringLiteral("jsmith"), QStringLiteral("j\"smith"),
             QStringLiteral("cr\r\nlf\n"), QStringLiteral("ünïcødé 鍵 🔑\u2028"), QString(),
             QStringLiteral("\t tab  back\\slash "), QStringLiteral("0x41") }) {
        FoundItem found;
        found.account = value.toStdString();
        const auto account = storedAccount(asciiText(QByteArray::fromStdString(itemReport(found))),
            asciiText(QByteArray::fromStdString(passwordReport(value.toStdString()))));
        ASSERT_TRUE(account);
        EXPECT_EQ(account->username, value);
        EXPECT_EQ(account->password, value);
    }
}

TEST(AccountInput, TrimsBothEndsAndDropsAMailLinksMailto)
{
    const QString blanks = QStringLiteral(" \t\n\v\f\r\u0085\u00A0\u2028\u2029\u3000");
    const std::pair<QString, QString> usernames[] = {
        { QStringLiteral("  mailto:jsmith\n"), QStringLiteral("jsmith") },
        { blanks + QStringLiteral("j smith") + blanks, QStringLiteral("j smith") },
        { QStringLiteral("\u200Bj\uFEFF"), QStringLiteral("\u200Bj\uFEFF") }, // not white space
        { QStringLiteral("MAILTO:jsmith"), QStringLiteral("MAILTO:jsmith") },
        { QStringLiteral("jsmith mailto:x"), QStringLiteral("jsmith mailto:x") },
        { QStringLiteral("mailto:a mailto:b"), QStringLiteral("a b") },
        { QStringLiteral("mailto:mamailto:ilto:x"), QStringLiteral("mailto:x") }, // one pass
        { QStringLiteral("mailto: jsmith "), QStringLiteral(" jsmith") }, // not trimmed again
    };
    for (const auto& [typed, cleaned] : usernames)
        EXPECT_EQ(cleanedUsername(typed), cleaned) << typed.toStdString();
    EXPECT_EQ(cleanedPassword(blanks + QStringLiteral("mailto:pass\t word") + blanks),
        QStringLiteral("mailto:pass\t word"));
}

}
