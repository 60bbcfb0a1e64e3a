#include "account/KeychainOutput.h"
#include "app/AsciiText.h"

#include "SecurityOutput.h"

#include <gtest/gtest.h>

namespace {

const QString jsmithItem = QStringLiteral("keychain: \"/org/freedesktop/secrets/collection/login\"\n"
                                          "class: \"genp\"\n"
                                          "attributes:\n"
                                          "    \"acct\"<blob>=\"jsmith\"\n"
                                          "    \"svce\"<blob>=\"Fernwright account details\"\n");

QString usernameIn(const QString& output)
{
    const auto account = storedAccount(output, QStringLiteral("password: \"pw\"\n"));
    return account ? account->username : QStringLiteral("(no item)");
}

QString passwordIn(const QString& error)
{
    const auto account = storedAccount(jsmithItem, error);
    return account ? account->password : QStringLiteral("(no item)");
}

TEST(KeychainOutput, NoLineOnStandardOutputMeansNoItem)
{
    EXPECT_FALSE(storedAccount(QString(), QStringLiteral("password: \"pw\"\n")));
    EXPECT_FALSE(storedAccount(QStringLiteral("\n\n\n"), QStringLiteral("password: \"pw\"\n")));
    // Lines without an account line are an item all the same, one without a user name.
    const auto odd = storedAccount(QStringLiteral("class: \"genp\"\n"), QStringLiteral("password: \"pw\"\n"));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->username, QString());
    EXPECT_EQ(odd->password, QStringLiteral("pw"));
}

TEST(KeychainOutput, UserNameIsTheFourthQuotedPieceOfTheFirstAccountLine)
{
    EXPECT_EQ(usernameIn(jsmithItem), QStringLiteral("jsmith"));
    // Three pieces or fewer leave it empty.
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=<NULL>\n")), QString());
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=\"\"\n")), QString());
    // Only the first account line counts, and only with exactly four blanks before it.
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=\"first\"\n    \"acct\"<blob>=\"second\"\n")),
        QStringLiteral("first"));
    EXPECT_EQ(
        usernameIn(QStringLiteral("   \"acct\"<blob>=\"three\"\n     \"acct\"<blob>=\"five\"\n")), QString());
    // A carriage return before the line feed keeps the two lines together: the account line is not a line
    // of its own then.
    EXPECT_EQ(usernameIn(QStringLiteral("class: \"genp\"\r\n    \"acct\"<blob>=\"jsmith\"\n")), QString());
    EXPECT_EQ(usernameIn(QStringLiteral("class: \"genp\"\n\r    \"acct\"<blob>=\"jsmith\"\n")), QString());
    EXPECT_EQ(usernameIn(QStringLiteral("class: \"genp\"\r\n\n    \"acct\"<blob>=\"jsmith\"")),
        QStringLiteral("jsmith"));
    // A double quote in the name cuts it, in the quoted form.
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=\"j\"smith\"\n")), QStringLiteral("j"));
}

TEST(KeychainOutput, PasswordIsTheSecondQuotedPieceOfAllOfStandardError)
{
    EXPECT_EQ(passwordIn(QStringLiteral("password: \"s3cret\"\n")), QStringLiteral("s3cret"));
    EXPECT_EQ(passwordIn(QStringLiteral("password: none\n")), QString());
    EXPECT_EQ(passwordIn(QString()), QString());
    EXPECT_EQ(passwordIn(QStringLiteral("password: \"ab\"cd\"\n")), QStringLiteral("ab"));
    // Pieces are cut at double quotes only, across lines, and no escape is read.
    EXPECT_EQ(passwordIn(QStringLiteral("password: \"a\nb\\n\"\n")), QStringLiteral("a\nb\\n"));
    EXPECT_EQ(passwordIn(QStringLiteral("note \"x\"\npassword: \"pw\"\n")), QStringLiteral("x"));
}

TEST(KeychainOutput, HexadecimalValuesComeBackExactly)
{
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=0x6AC3BC7267656E\n")), QStringLiteral("jürgen"));
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=0x\n")), QString());
    EXPECT_EQ(passwordIn(QStringLiteral("password: 0x7361792022686922\n")), QStringLiteral("say \"hi\""));
    EXPECT_EQ(passwordIn(QStringLiteral("password: 0x0d0A\n")), QStringLiteral("\r\n"));
    EXPECT_EQ(passwordIn(QStringLiteral("password: 0x\n")), QString());
    // Anything but whole pairs of hexadecimal digits is not the hexadecimal form.
    EXPECT_EQ(passwordIn(QStringLiteral("password: 0x616\n")), QString());
    EXPECT_EQ(passwordIn(QStringLiteral("password: 0x61zz\n")), QString());
    EXPECT_EQ(passwordIn(QStringLiteral("password: \"0x41\"\n")), QStringLiteral("0x41"));
    EXPECT_EQ(usernameIn(QStringLiteral("    \"acct\"<blob>=0x6G\n")), QString());
}

// What the keyring tool prints, decoded as the command runner decodes it, reads back as the value saved.
TEST(KeychainOutput, ReadsBackWhateverTheKeyringToolPrints)
{
    for (const QString& value :
        { QStringLiteral("jsmith"), QStringLiteral("j\"smith"), QStringLiteral("line\nbreak"),
            QStringLiteral("cr\r\nlf"), QStringLiteral("\r"), QStringLiteral("ünïcødé 鍵 🔑"), QString(),
            QStringLiteral("\t tabs and  spaces \t"), QStringLiteral("back\\slash\\"), QStringLiteral("0x41"),
            QStringLiteral("\"\""), QStringLiteral("\u2028") }) {
        FoundItem item;
        item.account = value.toStdString();
        item.service = "Fernwright account details";
        const QByteArray output = QByteArray::fromStdString(itemReport(item));
        const QByteArray error = QByteArray::fromStdString(passwordReport(value.toStdString()));
        const auto account = storedAccount(asciiText(output), asciiText(error));
        ASSERT_TRUE(account);
        EXPECT_EQ(account->username, value) << output.constData();
        EXPECT_EQ(account->password, value) << error.constData();
    }
}

}
