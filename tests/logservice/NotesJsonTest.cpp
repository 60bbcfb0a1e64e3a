#include "logservice/NotesJson.h"
#include "logservice/NotesQuery.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <limits>
#include <tuple>

namespace {

const QDateTime written
    = QDateTime::fromString(QStringLiteral("2026-12-07T15:10:05.250Z"), Qt::ISODateWithMs);

TEST(NotesJson, ParsesBackToTheNotesWithTheirTextUntouched)
{
    const QString texts[] {
        QStringLiteral("the boom dips into frame"),
        QStringLiteral("\"quoted\" 'single' \\ back </p><script>alert(1)</script> &amp; & x"),
        QStringLiteral("tab\there\r\nline\nbreak\u0001\u001f end"),
        QStringLiteral(
            "emoji \U0001F3AC\U0001F44D and \u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627"),
        QStringLiteral("separators \u2028 and \u2029"),
    };
    QList<StoredNote> notes;
    qint64 id = 3;
    for (const QString& text : texts)
        notes.append({ id++, { text, written.addSecs(-91 - id), written.addMSecs(id) } });
    notes[2].note.recordedAt.reset();

    const QByteArray body = notesJson(notes);
    EXPECT_TRUE(body.startsWith("{\"notes\":[{\"id\":3,\"recorded_at\":\"")) << body.left(40).constData();
    const qsizetype writtenKey = body.indexOf("\"written_at\":");
    EXPECT_TRUE(writtenKey > 0 && writtenKey < body.indexOf("\"text\":"))
        << "the keys in the documented order";
    for (const char markup : { '<', '>', '&' })
        EXPECT_FALSE(body.contains(markup)) << "raw " << markup;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(error.errorString());
    ASSERT_TRUE(document.isObject());
    EXPECT_EQ(document.object().keys(), QStringList { QStringLiteral("notes") });
    const QJsonArray parsed = document.object().value(QStringLiteral("notes")).toArray();
    ASSERT_EQ(parsed.size(), notes.size());
    const QRegularExpression timeForm(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$"));
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const QJsonObject note = parsed.at(i).toObject();
        EXPECT_EQ(note.keys(),
            QStringList({ QStringLiteral("id"), QStringLiteral("recorded_at"), QStringLiteral("text"),
                QStringLiteral("written_at") }));
        EXPECT_EQ(note.value(QStringLiteral("id")).toInteger(), notes[i].id);
        EXPECT_EQ(note.value(QStringLiteral("text")).toString(), notes[i].note.text) << i;
        const QString writtenAt = note.value(QStringLiteral("written_at")).toString();
        EXPECT_TRUE(timeForm.match(writtenAt).hasMatch()) << qPrintable(writtenAt);
        EXPECT_EQ(QDateTime::fromString(writtenAt, Qt::ISODateWithMs), notes[i].note.writtenAt);
        const QJsonValue recordedAt = note.value(QStringLiteral("recorded_at"));
        if (notes[i].note.recordedAt) {
            EXPECT_TRUE(timeForm.match(recordedAt.toString()).hasMatch())
                << qPrintable(recordedAt.toString());
            EXPECT_EQ(
                QDateTime::fromString(recordedAt.toString(), Qt::ISODateWithMs), notes[i].note.recordedAt);
        } else {
            EXPECT_TRUE(recordedAt.isNull()) << "no clip was loaded";
        }
    }

    EXPECT_EQ(notesJson({}), QByteArray("{\"notes\":[]}"));
    EXPECT_EQ(jsonError(QStringLiteral("signed out")), QByteArray("{\"error\":\"signed out\"}"));
}

TEST(NotesJson, WritesTimesWithMillisecondsAndAnExplicitOffset)
{
    const QDateTime utc
        = QDateTime::fromString(QStringLiteral("2026-03-01T00:00:00.007Z"), Qt::ISODateWithMs);
    const std::tuple<int, QString> cases[] {
        { 0, QStringLiteral("2026-03-01T00:00:00.007+00:00") },
        { 3600, QStringLiteral("2026-03-01T01:00:00.007+01:00") },
        { -(3 * 3600 + 30 * 60), QStringLiteral("2026-02-28T20:30:00.007-03:30") },
        { 14 * 3600, QStringLiteral("2026-03-01T14:00:00.007+14:00") },
    };
    for (const auto& [offset, text] : cases)
        EXPECT_EQ(isoTimeWithMilliseconds(utc.toOffsetFromUtc(offset)), text) << offset;
}

TEST(NotesQuery, TakesOnlyAWholeNumberOfAtLeastZero)
{
    constexpr qint64 beyond = std::numeric_limits<qint64>::max();
    const std::tuple<QByteArray, std::optional<qint64>> cases[] {
        { "", 0 },
        { "other=x", 0 },
        { "since=0", 0 },
        { "since=12", 12 },
        { "since=007", 7 },
        { "x=1&since=5&y", 5 },
        { "since=%31%32", 12 },
        { "since=9223372036854775807", beyond },
        { "since=99999999999999999999999", beyond },
        { "since=000000000000000000000000042", 42 },
        { "since=", std::nullopt },
        { "since", std::nullopt },
        { "since=-1", std::nullopt },
        { "since=%2B3", std::nullopt },
        { "since=+3", std::nullopt },
        { "since=1.5", std::nullopt },
        { "since=1e3", std::nullopt },
        { "since=0x10", std::nullopt },
        { "since=%D9%A3", std::nullopt }, // an Arabic-Indic three
        { "since=1&since=2", std::nullopt },
        { "since=%zz", std::nullopt },
    };
    for (const auto& [query, since] : cases)
        EXPECT_EQ(notesSince(query), since) << query.constData();
}

}
