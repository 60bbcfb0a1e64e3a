#include "logservice/Html.h"
#include "logservice/NotesCsv.h"
#include "logservice/RequestLog.h"
#include "logservice/Secrets.h"

#include <gtest/gtest.h>

namespace {

TEST(Html, EscapesMarkupAndBothQuotesAndFillsTemplatesInOnePass)
{
    EXPECT_EQ(htmlEscaped(QStringLiteral("<a href=\"x\" title='y'>&amp;</a>")),
        QStringLiteral("&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt;"));

    const QHash<QString, QString> values { { QStringLiteral("user"), QStringLiteral("{{secret}}") },
        { QStringLiteral("secret"), QStringLiteral("token") } };
    EXPECT_EQ(fillTemplate(QStringLiteral("<b>{{user}}</b>{{missing}}"), values),
        QStringLiteral("<b>{{secret}}</b>"));
    EXPECT_EQ(fillTemplate(QStringLiteral("a {{user"), values), QStringLiteral("a {{user"));
    EXPECT_EQ(fillTemplate(QStringLiteral("}}{{user}}{{"), values), QStringLiteral("}}{{secret}}{{"));
}

TEST(NotesCsv, QuotesAndNeutralisesCells)
{
    EXPECT_EQ(notesCsv({}), QByteArray("recorded_at,written_at,text\r\n"));

    // A recording time keeps its milliseconds: read back, the note lands on its frame, not a second early.
    const QDateTime written = QDateTime::fromString(QStringLiteral("2024-05-01T14:08:10.960Z"), Qt::ISODateWithMs);
    QList<Note> notes { { QStringLiteral("=HYPERLINK(\"http://x\")"), written.addSecs(-91), written } };
    for (const char* text : { "a, \"b\"\nc", "+1", "-3 dB", "@sum", "plain 1 = 1" })
        notes.append({ QString::fromUtf8(text), std::nullopt, written });
    const QStringList lines = QString::fromUtf8(notesCsv(notes)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8) << "header, six rows and the final line end";
    EXPECT_EQ(lines.first(), QStringLiteral("recorded_at,written_at,text"));
    EXPECT_EQ(QDateTime::fromString(lines.at(1).section(QLatin1Char(','), 0, 0), Qt::ISODateWithMs),
        written.addSecs(-91));
    EXPECT_EQ(QDateTime::fromString(lines.at(1).section(QLatin1Char(','), 1, 1), Qt::ISODateWithMs), written);
    EXPECT_TRUE(lines.at(2).startsWith(QLatin1Char(','))) << "no recording time";
    QStringList cells;
    for (const QString& line : lines.mid(1, 6))
        cells.append(line.section(QLatin1Char(','), 2));
    EXPECT_EQ(cells,
        QStringList({ QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\")\""),
            QStringLiteral("\"a, \"\"b\"\"\nc\""), QStringLiteral("'+1"), QStringLiteral("'-3 dB"),
            QStringLiteral("'@sum"), QStringLiteral("plain 1 = 1") }));
    EXPECT_EQ(lines.last(), QString());
}

TEST(RequestLog, WritesMethodPathAndTheOffsetCookieOnly)
{
    EXPECT_EQ(requestLogLine("POST", "/index.php/logger/notes", QByteArray("91.0")),
        QStringLiteral("request POST /index.php/logger/notes time_offset=91.0"));
    EXPECT_EQ(requestLogLine("GET", "/users/login", std::nullopt),
        QStringLiteral("request GET /users/login time_offset=-"));
    EXPECT_EQ(requestLogLine("GET", "/a%20b", QByteArray("1 2\n\x1b[0m\xc3")),
        QStringLiteral("request GET /a%20b time_offset=1%202%0A%1B[0m%C3"));
}

TEST(Secrets, HashesPasswordsWithSaltAndChecksThem)
{
    const auto stored = hashPassword("correct horse");
    ASSERT_TRUE(stored);
    EXPECT_TRUE(stored->startsWith(QStringLiteral("pbkdf2-sha256$600000$")));
    EXPECT_FALSE(stored->contains(QStringLiteral("correct")));
    EXPECT_NE(hashPassword("correct horse"), stored) << "each hash has its own salt";
    EXPECT_TRUE(passwordMatches("correct horse", *stored));
    EXPECT_FALSE(passwordMatches("correct horse ", *stored));
    EXPECT_FALSE(passwordMatches({}, *stored));
    for (const QString& malformed : { QString(), QStringLiteral("pbkdf2-sha256$0$AAAA$AAAA"),
             QStringLiteral("md5$1$AAAA$AAAA"), stored->chopped(4) })
        EXPECT_FALSE(passwordMatches("correct horse", malformed));
}

}
