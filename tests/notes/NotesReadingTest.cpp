#include "notes/NotesReading.h"

#include "TextPrinting.h"

#include <gtest/gtest.h>

namespace {

QDateTime at(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
}

std::string joined(const QStringList& problems)
{
    return problems.join(u'\n').toStdString();
}

// The service's download as its writer makes it: CRLF, times to the second with their offset, quotes
// where needed, an apostrophe before a text that could run as a formula.
const QByteArray serviceCsv = "recorded_at,written_at,text\r\n"
                              "2026-12-07T14:03:22+01:00,2026-12-07T16:10:05+01:00,plain\r\n"
                              ",2026-12-07T16:11:00+01:00,\"no clip, \"\"yet\"\"\"\r\n"
                              "2026-12-07T13:03:23Z,2026-12-07T16:12:00+01:00,\"two\r\nlines\nthree\"\r\n"
                              "2026-12-07T14:03:24.500+01:00,2026-12-07T16:13:00+01:00,'=SUM(A1)\r\n"
                              "2026-12-07T14:03:25+01:00,2026-12-07T16:14:00+01:00,'-3 dB\r\n"
                              "2026-12-07T14:03:26+01:00,2026-12-07T16:15:00+01:00,'plain quote\r\n"
                              "2026-12-07T14:03:27+01:00,2026-12-07T16:16:00+01:00,'@home '+1\r\n";

TEST(NotesCsv, ReadsTheServicesDownload)
{
    for (const QByteArray& prefix : { QByteArray(), QByteArray("\xEF\xBB\xBF") }) {
        const auto reading = readNotesCsv(prefix + serviceCsv);
        ASSERT_TRUE(reading);
        EXPECT_TRUE(reading->problems.isEmpty()) << joined(reading->problems);
        ASSERT_EQ(reading->notes.size(), 7u);
        const auto& notes = reading->notes;
        EXPECT_EQ(notes[0].recordedAt, at("2026-12-07T14:03:22+01:00"));
        EXPECT_EQ(notes[0].writtenAt, at("2026-12-07T16:10:05+01:00"));
        EXPECT_EQ(notes[0].text, QStringLiteral("plain"));
        EXPECT_EQ(notes[0].id, 1);
        EXPECT_EQ(notes[6].id, 7) << "row order";
        EXPECT_FALSE(notes[1].recordedAt);
        EXPECT_EQ(notes[1].text, QStringLiteral("no clip, \"yet\""));
        EXPECT_EQ(notes[2].recordedAt, at("2026-12-07T14:03:23+01:00")) << "the same moment in UTC";
        EXPECT_EQ(notes[2].text, QStringLiteral("two\r\nlines\nthree")) << "line breaks inside quotes kept as written";
        EXPECT_EQ(notes[3].recordedAt->toMSecsSinceEpoch() % 1000, 500);
        EXPECT_EQ(notes[3].text, QStringLiteral("=SUM(A1)"));
        EXPECT_EQ(notes[4].text, QStringLiteral("-3 dB"));
        EXPECT_EQ(notes[5].text, QStringLiteral("'plain quote")) << "an apostrophe the service did not add stays";
        EXPECT_EQ(notes[6].text, QStringLiteral("@home '+1"));
        for (const LogNote& note : notes)
            EXPECT_FALSE(note.recordedAtAssumedLocal);
    }
}

TEST(NotesCsv, FindsColumnsByNameInAnyOrderAmongOthersWithLineFeeds)
{
    const auto reading = readNotesCsv("camera, Text ,id,recorded_at,written_at\n"
                                      "A,first,12,2026-12-07T14:03:22.250+01:00,2026-12-07T16:10:05+01:00\n"
                                      "\n"
                                      "B,\"second\nline\",13,,2026-12-07T16:10:06+01:00\n");
    ASSERT_TRUE(reading);
    EXPECT_TRUE(reading->problems.isEmpty()) << joined(reading->problems);
    ASSERT_EQ(reading->notes.size(), 2u);
    EXPECT_EQ(reading->notes[0].id, 12);
    EXPECT_EQ(reading->notes[0].text, QStringLiteral("first"));
    EXPECT_EQ(reading->notes[0].recordedAt, at("2026-12-07T14:03:22.250+01:00"));
    EXPECT_EQ(reading->notes[1].id, 13);
    EXPECT_EQ(reading->notes[1].text, QStringLiteral("second\nline"));
    EXPECT_FALSE(reading->notes[1].recordedAt);
}

TEST(NotesCsv, KeepsEveryNoteItCanAndSaysWhatWasOdd)
{
    const auto reading = readNotesCsv("recorded_at,written_at,text\r\n"
                                      "2026-12-07T14:03:22,2026-12-07T16:10:05+01:00,no offset\r\n"
                                      "garbage,2026-12-07T16:10:05+01:00,bad time\r\n"
                                      "2026-12-07,2026-12-07T16:10:05+01:00,a date alone\r\n"
                                      "2026-02-30T10:00:00Z,yesterday,no such day\r\n"
                                      "2026-12-07T14:03:22+01:00\r\n"
                                      "2026-12-07T14:03:22+01:00,2026-12-07T16:10:05+01:00,\"never closed\r\n");
    ASSERT_TRUE(reading);
    ASSERT_EQ(reading->notes.size(), 5u);
    const auto& notes = reading->notes;
    EXPECT_EQ(notes[0].recordedAt, QDateTime(QDate(2026, 12, 7), QTime(14, 3, 22), Qt::LocalTime));
    EXPECT_TRUE(notes[0].recordedAtAssumedLocal);
    for (int i : { 1, 2, 3 }) {
        EXPECT_FALSE(notes[i].recordedAt) << i;
        EXPECT_FALSE(notes[i].recordedAtAssumedLocal) << i;
    }
    EXPECT_EQ(notes[1].text, QStringLiteral("bad time"));
    EXPECT_FALSE(notes[3].writtenAt.isValid());
    EXPECT_EQ(notes[4].text, QStringLiteral("never closed\r\n"));
    const QStringList& problems = reading->problems;
    ASSERT_EQ(problems.size(), 7) << joined(problems);
    EXPECT_TRUE(problems[0].startsWith(u"row 2: the recording time '2026-12-07T14:03:22' has no offset")) << joined(problems);
    EXPECT_TRUE(problems[1].startsWith(u"row 3: the recording time 'garbage' is not a time")) << joined(problems);
    EXPECT_TRUE(problems[2].startsWith(u"row 4:"));
    EXPECT_TRUE(problems[3].startsWith(u"row 5: the recording time"));
    EXPECT_TRUE(problems[4].startsWith(u"row 5: the writing time 'yesterday'"));
    EXPECT_TRUE(problems[5].startsWith(u"row 6: no text cell; skipped"));
    EXPECT_TRUE(problems[6].contains(u"never closed"));
}

TEST(NotesCsv, WithoutTheNeededColumns)
{
    EXPECT_FALSE(readNotesCsv("recorded_at,written_at\r\n2026-12-07T14:03:22Z,2026-12-07T14:03:22Z\r\n"));
    EXPECT_FALSE(readNotesCsv(""));
    EXPECT_FALSE(readNotesCsv("\xEF\xBB\xBF"));
    EXPECT_FALSE(readNotesCsv("{\"notes\":[]}"));

    const auto textOnly = readNotesCsv("text\r\none\r\ntwo\r\n");
    ASSERT_TRUE(textOnly);
    ASSERT_EQ(textOnly->notes.size(), 2u);
    EXPECT_FALSE(textOnly->notes[0].recordedAt);
    ASSERT_EQ(textOnly->problems.size(), 2) << joined(textOnly->problems);
    EXPECT_TRUE(textOnly->problems[0].contains(u"no recorded_at column"));
}

TEST(NotesCsv, ReadsAHundredThousandNotes)
{
    QByteArray csv = "recorded_at,written_at,text\r\n";
    const QDateTime first = at("2026-12-07T09:00:00+01:00");
    constexpr int count = 100'000;
    for (int i = 0; i < count; ++i)
        csv += first.addMSecs(i * 1500).toOffsetFromUtc(3600).toString(Qt::ISODateWithMs).toUtf8() + ','
            + first.addSecs(i).toOffsetFromUtc(3600).toString(Qt::ISODate).toUtf8() + ",\"note " + QByteArray::number(i)
            + ", with a comma\"\r\n";
    const auto reading = readNotesCsv(csv);
    ASSERT_TRUE(reading);
    ASSERT_EQ(reading->notes.size(), size_t(count));
    EXPECT_TRUE(reading->problems.isEmpty());
    EXPECT_EQ(reading->notes.back().text, QStringLiteral("note 99999, with a comma"));
    EXPECT_EQ(reading->notes.back().recordedAt, first.addMSecs(qint64(count - 1) * 1500));
}

TEST(NotesJson, ReadsTheServicesNotes)
{
    const auto reading = readNotesJson(R"({"notes":[
        {"id":12,"recorded_at":"2026-12-07T14:03:22.120+01:00","written_at":"2026-12-07T16:10:05.000+01:00","text":"a <b> & \"c\"\n🎬"},
        {"id":13,"recorded_at":null,"written_at":"2026-12-07T16:11:05.000+01:00","text":"=no clip"},
        {"id":14,"written_at":"2026-12-07T16:12:05.000+01:00","text":"no field"}
    ]})");
    ASSERT_TRUE(reading);
    EXPECT_TRUE(reading->problems.isEmpty()) << joined(reading->problems);
    ASSERT_EQ(reading->notes.size(), 3u);
    EXPECT_EQ(reading->notes[0].id, 12);
    EXPECT_EQ(reading->notes[0].recordedAt, at("2026-12-07T14:03:22.120+01:00"));
    EXPECT_EQ(reading->notes[0].writtenAt, at("2026-12-07T16:10:05.000+01:00"));
    EXPECT_EQ(reading->notes[0].text, QString::fromUtf8("a <b> & \"c\"\n🎬"));
    EXPECT_FALSE(reading->notes[1].recordedAt);
    EXPECT_EQ(reading->notes[1].text, QStringLiteral("=no clip")) << "JSON texts are never neutralised";
    EXPECT_FALSE(reading->notes[2].recordedAt);
}

TEST(NotesJson, KeepsOddNotesAndRefusesWhatIsNotTheServicesDocument)
{
    const auto reading = readNotesJson(R"({"notes":[
        {"id":1,"recorded_at":"garbage","written_at":"2026-12-07T16:10:05Z","text":"kept"},
        {"id":2,"recorded_at":12345,"written_at":"2026-12-07T16:10:05Z","text":"kept too"},
        {"id":3,"recorded_at":null,"written_at":"2026-12-07T16:10:05Z"},
        "not an object",
        {"id":"x","recorded_at":"2026-12-07T14:03:22","written_at":"2026-12-07T16:10:05Z","text":"local"}
    ]})");
    ASSERT_TRUE(reading);
    ASSERT_EQ(reading->notes.size(), 3u);
    EXPECT_FALSE(reading->notes[0].recordedAt);
    EXPECT_FALSE(reading->notes[1].recordedAt);
    EXPECT_TRUE(reading->notes[2].recordedAtAssumedLocal);
    ASSERT_EQ(reading->problems.size(), 6) << joined(reading->problems);
    EXPECT_TRUE(reading->problems[0].startsWith(u"note 1: the recording time 'garbage'"));
    EXPECT_TRUE(reading->problems[2].startsWith(u"note 3: no text; skipped"));
    EXPECT_TRUE(reading->problems[3].startsWith(u"note 4: no text; skipped"));

    for (const char* other : { "", "[]", "{}", "{\"notes\":{}}", "{\"notes\":", "recorded_at,written_at,text\r\n" })
        EXPECT_FALSE(readNotesJson(other)) << other;
    const auto empty = readNotesJson("{\"notes\":[]}");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->notes.empty());
}

}
