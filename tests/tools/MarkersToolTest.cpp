#include "clips/ClipFixtures.h"
#include "support/Files.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace {

ToolRun markersTool(const QStringList& arguments)
{
    return runTool(TestEnvironment::builtProgram(u"tapescribe-markers"_s), arguments);
}

QString written(const QString& path, const QByteArray& content)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

// A camera card of two 25 fps clips with their own recording dates and timecodes, A001 recorded from
// 13:00:00 for 2 s and A002 from 13:00:01 for 1 s, and the notes a logger wrote over them.
class MarkersTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkdir(u"Card 1"_s));
        card = folder.filePath(u"Card 1"_s);
        ClipFixtures::make(ClipFixtures::Kind::H264Mp4, card + u"/A001.mp4"_s,
            { u"-metadata"_s, u"creation_time=2026-12-07T13:00:00Z"_s, u"-timecode"_s, u"10:00:00:00"_s });
        ClipFixtures::make(ClipFixtures::Kind::ProResMov, card + u"/A002.mov"_s,
            { u"-metadata"_s, u"creation_time=2026-12-07T13:00:01Z"_s, u"-timecode"_s, u"11:00:00:00"_s });
        written(card + u"/notes.txt"_s, "not a clip");
        notes = written(folder.filePath(u"notes.csv"_s),
            "recorded_at,written_at,text\r\n"
            "2026-12-07T14:00:00.480+01:00,2026-12-07T15:00:00+01:00,\"first, \"\"quoted\"\"\"\r\n"
            "2026-12-07T14:00:01.500+01:00,2026-12-07T15:00:01+01:00,'=in both\r\n"
            ",2026-12-07T15:00:02+01:00,no clip was loaded\r\n"
            "2026-12-07T15:00:00+01:00,2026-12-07T15:00:03+01:00,after every clip\r\n");
    }

    QTemporaryDir folder;
    QString card;
    QString notes;
};

TEST_F(MarkersTool, WritesTheMarkersOfAFolderAndSumsThemUp)
{
    const QString output = folder.filePath(u"markers.csv"_s);
    const ToolRun run = markersTool({ u"--notes"_s, notes, u"--format"_s, u"csv"_s, u"--output"_s, output, card });
    ASSERT_EQ(run.status, 0) << run.error.toStdString();
    EXPECT_TRUE(run.error.startsWith("3 markers on 2 clips; 2 notes outside every clip\n")) << run.error.toStdString();
    EXPECT_TRUE(run.output.isEmpty());
    const QList<QByteArray> lines = Files::contents(output).split('\n');
    ASSERT_EQ(lines.size(), 7) << Files::contents(output).toStdString();
    EXPECT_EQ(lines[1], "A001.mp4,10:00:00:12,2026-12-07T14:00:00.480+01:00,12,\"first, \"\"quoted\"\"\",no\r");
    EXPECT_EQ(lines[2], "A001.mp4,10:00:01:12,2026-12-07T14:00:01.500+01:00,37,'=in both,no\r");
    EXPECT_EQ(lines[3], "A002.mov,11:00:00:12,2026-12-07T14:00:01.500+01:00,12,'=in both,no\r");
    EXPECT_EQ(lines[4], ",,,,no clip was loaded,\r");
    EXPECT_TRUE(lines[5].startsWith(",,2026-12-07T15:00:00.000+01:00,,after every clip,"));
}

TEST_F(MarkersTool, WritesAnEventNamedAfterTheFolderForFinalCut)
{
    const QString output = folder.filePath(u"markers.fcpxml"_s);
    const ToolRun run = markersTool(
        { u"--notes"_s, notes, u"--format"_s, u"FCPXML"_s, u"--output"_s, output, card + u"/A001.mp4"_s });
    ASSERT_EQ(run.status, 0) << run.error.toStdString();
    EXPECT_TRUE(run.error.startsWith("2 markers on 1 clip; 2 notes outside every clip\n")) << run.error.toStdString();
    QXmlStreamReader xml(Files::contents(output));
    QStringList seen;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        seen.append(xml.name().toString());
        if (xml.name() == u"event"_s) {
            EXPECT_EQ(xml.attributes().value(u"name"_s).toString(), u"Card 1"_s);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(seen.count(u"asset-clip"_s), 1);
    EXPECT_EQ(seen.count(u"marker"_s), 2);
}

TEST_F(MarkersTool, SaysWhatIsWrongAndEndsWithAFailure)
{
    const QString output = folder.filePath(u"out.ale"_s);
    const QString empty = folder.filePath(u"empty"_s);
    QDir(folder.path()).mkdir(u"empty"_s);
    const QString noText = written(folder.filePath(u"notext.csv"_s), "recorded_at,written_at\r\n");
    struct Case
    {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Case cases[] = {
        { { u"--notes"_s, folder.filePath(u"missing.csv"_s), u"--format"_s, u"ale"_s, u"--output"_s, output, card }, 1,
            "cannot read the notes" },
        { { u"--notes"_s, noText, u"--format"_s, u"ale"_s, u"--output"_s, output, card }, 1, "is not the log service's notes" },
        { { u"--notes"_s, notes, u"--format"_s, u"edl"_s, u"--output"_s, output, card }, 2, "unknown format 'edl'" },
        { { u"--notes"_s, notes, u"--format"_s, u"ale"_s, u"--output"_s, output }, 2, "no clip or folder given" },
        { { u"--notes"_s, notes, u"--output"_s, output, card }, 2, "--format is missing" },
        { { u"--notes"_s, notes, u"--format"_s, u"ale"_s, u"--output"_s, output, empty }, 1, "no clips in" },
        { { u"--notes"_s, notes, u"--format"_s, u"ale"_s, u"--output"_s, folder.filePath(u"no/such/folder/out.ale"_s), card },
            1, "cannot write" },
    };
    for (const Case& c : cases) {
        const ToolRun run = markersTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_TRUE(run.error.contains(c.message)) << run.error.toStdString();
        EXPECT_FALSE(QFile::exists(output)) << c.message;
    }
}

}
