#include "ClipFixtures.h"

#include "clips/ClipMetadata.h"
#include "clips/ClipTableText.h"
#include "clips/RecordingStart.h"
#include "clips/Timecode.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using ClipFixtures::Kind;

const QDateTime recorded(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());

QStringList created(const char* when)
{
    return { u"-metadata"_s, u"creation_time="_s + QLatin1String(when) };
}

QStringList timecode(const char* start)
{
    return { u"-timecode"_s, QLatin1String(start) };
}

// The clip's recording start as tapeScribe takes it from the metadata, if any.
std::optional<QDateTime> recordingStart(const ClipMetadata& metadata)
{
    return RecordingStart::fromClip(metadata.dates, QDateTime::currentDateTimeUtc());
}

TEST(ClipMetadata, ReadsDateTimecodeAndFormatOfEveryContainerACameraWrites)
{
    QTemporaryDir folder;
    const struct
    {
        const char* name;
        Kind kind;
        QStringList options;
        const char* timecode;
        const char* codec;
        const char* named; // as the table names it
        int width;
        ClipMetadata::Rate rate;
    } cases[] = {
        { "a.mp4", Kind::H264Mp4, created("2016-03-01T14:05:09Z") + timecode("10:11:12:13"), "10:11:12:13",
            "h264", "H.264", 64, { 25, 1 } },
        { "b.mov", Kind::ProResMov,
            created("2016-03-01T14:05:09Z") + timecode("10:00:00;02")
                + QStringList { u"-r"_s, u"30000/1001"_s },
            "10:00:00;02", "prores", "ProRes", 64, { 30000, 1001 } },
        // MXF: the demuxer names the file's last-written date "modification_date".
        { "c.mxf", Kind::DnxhrMxf, created("2016-03-01T14:05:09Z") + timecode("01:00:00:00"), "01:00:00:00",
            "dnxhd", "DNxHR", 1280, { 25, 1 } },
        { "d.mxf", Kind::Mpeg2Mxf, created("2016-03-01T14:05:09Z") + timecode("23:59:59:24"), "23:59:59:24",
            "mpeg2video", "MPEG-2", 64, { 25, 1 } },
    };
    for (const auto& [name, kind, options, start, codec, named, width, rate] : cases) {
        SCOPED_TRACE(name);
        const auto metadata
            = ClipMetadata::read(ClipFixtures::make(kind, folder.filePath(QLatin1String(name)), options));
        ASSERT_TRUE(metadata);
        EXPECT_EQ(recordingStart(*metadata), recorded) << metadata->dates.join(u'|').toStdString();
        EXPECT_EQ(metadata->timecode, QLatin1String(start));
        EXPECT_TRUE(Timecode::parse(metadata->timecode, metadata->frameRate));
        EXPECT_EQ(metadata->codec, QLatin1String(codec));
        EXPECT_EQ(ClipTableText::codecName(metadata->codec, metadata->profile), QLatin1String(named));
        EXPECT_EQ(metadata->width, width);
        EXPECT_GT(metadata->height, 0);
        EXPECT_EQ(metadata->frameRate, rate);
        EXPECT_GT(metadata->duration, 0.9);
        EXPECT_LT(metadata->duration, 2.1);
    }
}

TEST(ClipMetadata, DatesThatCannotBeTheRecordingStartCountAsAbsent)
{
    QTemporaryDir folder;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QByteArray future = now.addDays(2).toString(Qt::ISODate).toLatin1();
    const struct
    {
        const char* name;
        Kind kind;
        QStringList options;
    } cases[] = {
        { "none.mp4", Kind::H264Mp4, { u"-fflags"_s, u"+bitexact"_s } },
        { "1970.mov", Kind::ProResMov, created("1970-01-02T00:00:00Z") },
        { "1989.mp4", Kind::H264Mp4, created("1989-12-31T23:59:59Z") },
        { "future.mov", Kind::ProResMov, created(future.constData()) },
        // QuickTime metadata is free text: a camera can write anything there.
        { "garbage.mov", Kind::ProResMov,
            { u"-movflags"_s, u"use_metadata_tags"_s, u"-metadata"_s,
                u"com.apple.quicktime.creationdate=garbage"_s } },
        { "nodate.mxf", Kind::Mpeg2Mxf, {} },
    };
    for (const auto& [name, kind, options] : cases) {
        SCOPED_TRACE(name);
        const auto metadata
            = ClipMetadata::read(ClipFixtures::make(kind, folder.filePath(QLatin1String(name)), options));
        ASSERT_TRUE(metadata);
        EXPECT_FALSE(recordingStart(*metadata)) << metadata->dates.join(u'|').toStdString();
        EXPECT_FALSE(metadata->codec.isEmpty());
    }
    // The garbage is read as it stands, and refused by the date rules, not by the reader.
    EXPECT_EQ(ClipMetadata::read(folder.filePath(u"garbage.mov"_s))->dates, QStringList { u"garbage"_s });
}

TEST(ClipMetadata, FilesThatAreNoClipGiveNothingAndNeverHang)
{
    QTemporaryDir folder;
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile file(folder.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    };
    const auto head = [](const QString& path, qint64 bytes) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.read(bytes);
    };
    const QString mp4 = ClipFixtures::make(Kind::H264Mp4, folder.filePath(u"whole.mp4"_s),
        created("2016-03-01T14:05:09Z") + QStringList { u"-movflags"_s, u"+faststart"_s });
    const QString mxf = ClipFixtures::make(
        Kind::Mpeg2Mxf, folder.filePath(u"whole.mxf"_s), created("2016-03-01T14:05:09Z"));
    const QString fifo = folder.filePath(u"pipe.mov"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0); // opened for reading, it would block
    QDir(folder.path()).mkdir(u"CARD.MXF"_s);

    const QString cases[] = {
        write("empty.mov", {}),
        write("noise.mxf", QByteArray(65536, '\x5a')),
        write("text.mp4", "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nhttp://127.0.0.1:9/x.ts\n"),
        write("truncated.mp4", head(mp4, 600)),
        fifo,
        folder.filePath(u"CARD.MXF"_s),
        folder.filePath(u"deleted.mov"_s),
    };
    for (const QString& path : cases)
        EXPECT_FALSE(ClipMetadata::read(path)) << path.toStdString();

    // A header cut short inside the MXF partition still gives no date that is not the clip's.
    const auto truncatedMxf = ClipMetadata::read(write("truncated.mxf", head(mxf, 4096)));
    if (truncatedMxf) {
        EXPECT_TRUE(!recordingStart(*truncatedMxf) || recordingStart(*truncatedMxf) == recorded);
    }
}

}
