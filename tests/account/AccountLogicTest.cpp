#include "account/AccountInput.h"
#include "account/KeychainOutcome.h"
#include "account/KeychainOutput.h"

#include <gtest/gtest.h>

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

TEST(KeychainOutput, ReadsTheAccountLineAndThePassword)
{
    const QString item = u"class: \"genp\"\n    \"acct\"<blob>=\"jsmith\"\n"_s;
    const QString secret = u"password: \"pw\"\n"_s;
    EXPECT_FALSE(storedAccount(QString(), secret));
    EXPECT_FALSE(storedAccount(u"\n\n"_s, secret));
    const std::pair<QString, QString> usernames[] = {
        { item, u"jsmith"_s },
        { u"    \"acct\"<blob>=<NULL>\n"_s, QString() }, // three pieces or fewer
        { u"    \"acct\"<blob>=\"first\"\n    \"acct\"<blob>=\"second\"\n"_s, u"first"_s },
        { u"   \"acct\"<blob>=\"three\"\n     \"acct\"<blob>=\"five\"\n"_s, QString() },
        { u"class: \"genp\"\r\n    \"acct\"<blob>=\"jsmith\"\n"_s, QString() }, // CR LF is no line end
        { u"class: \"genp\"\r\n\n    \"acct\"<blob>=\"jsmith\""_s, u"jsmith"_s },
        { u"    \"acct\"<blob>=\"j\"smith\"\n"_s, u"j"_s },
        { u"    \"acct\"<blob>=0x6AC3BC7267656E\n"_s, u"jürgen"_s },
        { u"    \"acct\"<blob>=0x6G\n"_s, QString() },
    };
    for (const auto& [output, username] : usernames)
        EXPECT_EQ(storedAccount(output, secret)->username, username) << output.toStdString();

    const std::pair<QString, QString> passwords[] = {
        { u"password: none\n"_s, QString() },
        { u"password: \"ab\"cd\"\n"_s, u"ab"_s },
        { u"password: \"a\nb\\n\"\n"_s, u"a\nb\\n"_s }, // all lines, no escapes
        { u"password: 0x7361792022686922\n"_s, u"say \"hi\""_s },
        { u"password: 0x0d0A\n"_s, u"\r\n"_s },
        { u"password: 0x\n"_s, QString() },
        { u"password: 0x616\n"_s, QString() }, // not whole pairs: not the hexadecimal form
        { u"password: \"0x41\"\n"_s, u"0x41"_s },
    };
    for (const auto& [error, password] : passwords)
        EXPECT_EQ(storedAccount(item, error)->password, password) << error.toStdString();
}

TEST(KeychainOutcome, TellsTheKeyringToolsEndingsApart)
{
    const std::pair<CommandResult, KeychainOutcome> rows[] = {
        { { {}, {}, 0 }, KeychainOutcome::Done },
        { { {}, {}, 1 }, KeychainOutcome::NotFound },
        { { {}, {}, 2 }, KeychainOutcome::Refused }, // a command line the tool does not know
        { { {}, {}, 3 }, KeychainOutcome::NoKeyring },
        { { {}, {}, 4 }, KeychainOutcome::Locked },
        { { {}, {}, 5 }, KeychainOutcome::Refused },
        { { {}, {}, 127 }, KeychainOutcome::Refused },
        { { {}, u"runCommand: cannot start /x: No such file or directory"_s, std::nullopt },
            KeychainOutcome::NoKeyring },
        { { {}, {}, std::nullopt, true }, KeychainOutcome::NoKeyring },
    };
    for (const auto& [run, outcome] : rows)
        EXPECT_EQ(keychainOutcome(run), outcome) << run.exitStatus.value_or(-1) << " " << run.timedOut;

    // A keyring that answered needs no word; each failure has its own, for a read and for a save.
    QStringList reads, saves;
    for (const auto outcome : { KeychainOutcome::Done, KeychainOutcome::NotFound }) {
        EXPECT_EQ(accountReadProblem(outcome), QString());
        EXPECT_EQ(accountSaveProblem(outcome), QString());
    }
    for (const auto outcome :
        { KeychainOutcome::Locked, KeychainOutcome::NoKeyring, KeychainOutcome::Refused }) {
        reads.append(accountReadProblem(outcome));
        saves.append(accountSaveProblem(outcome));
    }
    EXPECT_EQ(QSet<QString>(reads.begin(), reads.end()).size(), 3) << reads.join(u'\n').toStdString();
    EXPECT_EQ(QSet<QString>(saves.begin(), saves.end()).size(), 3) << saves.join(u'\n').toStdString();
    EXPECT_FALSE(reads.contains(QString()));
    EXPECT_FALSE(saves.contains(QString()));
}

TEST(AccountInput, TrimsBothEndsAndDropsAMailLinksMailto)
{
    const QString blanks = u" \t\n\v\f\r\u0085\u00A0\u2028\u2029\u3000"_s;
    const std::pair<QString, QString> usernames[] = {
        { u"  mailto:jsmith\n"_s, u"jsmith"_s }, { blanks + u"j smith"_s + blanks, u"j smith"_s },
        { u"\u200Bj\uFEFF"_s, u"\u200Bj\uFEFF"_s }, // not white space
        { u"MAILTO:jsmith"_s, u"MAILTO:jsmith"_s }, { u"jsmith mailto:x"_s, u"jsmith mailto:x"_s },
        { u"mailto:a mailto:b"_s, u"a b"_s }, { u"mailto:mamailto:ilto:x"_s, u"mailto:x"_s }, // one pass
        { u"mailto: jsmith "_s, u" jsmith"_s }, // not trimmed again
    };
    for (const auto& [typed, cleaned] : usernames)
        EXPECT_EQ(cleanedUsername(typed), cleaned) << typed.toStdString();
    EXPECT_EQ(cleanedPassword(blanks + u"mailto:pass\t word"_s + blanks), u"mailto:pass\t word"_s);
}

}
