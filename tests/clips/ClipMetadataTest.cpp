#include "ClipFixtures.h"
#include "SocketWatch.h"

#include "clips/ClipMetadata.h"
#include "clips/ClipTableText.h"
#include "clips/RecordingStart.h"
#include "clips/Timecode.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <iterator>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(ClipMetadata, FilesThatAreNoClipGiveNothingAndSayWhyAndNeverHang)
{
    using Failure = ClipInput::Failure;
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

    const struct
    {
        QString path;
        Failure failure;
    } cases[] = {
        { write("empty.mov", {}), Failure::NotItsType },
        { write("noise.mxf", QByteArray(65536, '\x5a')), Failure::NotItsType },
        { write("text.mp4", "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\nhttp://127.0.0.1:9/x.ts\n"),
            Failure::NotItsType },
        { write("truncated.mp4", head(mp4, 600)), Failure::NotItsType },
        // A clip of one type named as another is read by the other's demuxer, which refuses it.
        { write("mxf.mov", head(mxf, 1 << 20)), Failure::NotItsType },
        { write("mp4.mxf", head(mp4, 1 << 20)), Failure::NotItsType },
        { write("clip.txt", head(mp4, 1 << 20)), Failure::NotItsType },
        { fifo, Failure::Unreadable },
        { folder.filePath(u"CARD.MXF"_s), Failure::Unreadable },
        { folder.filePath(u"deleted.mov"_s), Failure::Unreadable },
    };
    for (const auto& [path, failure] : cases) {
        SCOPED_TRACE(path.toStdString());
        const ClipMetadata::Reading reading = ClipMetadata::readHeader(path);
        EXPECT_FALSE(reading.metadata);
        EXPECT_EQ(reading.failure, failure);
        EXPECT_FALSE(ClipMetadata::read(path));
    }
    // A clip whose reading runs past the deadline is not taken for one that is no clip.
    EXPECT_EQ(ClipInput(mp4, std::chrono::milliseconds(0)).failure(), Failure::TooSlow);
    EXPECT_FALSE(ClipInput(mp4).failure());

    // A header cut short inside the MXF partition still gives no date that is not the clip's.
    const auto truncatedMxf = ClipMetadata::read(write("truncated.mxf", head(mxf, 4096)));
    if (truncatedMxf) {
        EXPECT_TRUE(!recordingStart(*truncatedMxf) || recordingStart(*truncatedMxf) == recorded);
    }
}

// One extension of every clip type, as cameras and editors write them.
const char* const clipExtensions[]
    = { "mxf", "MOV", "qt", "mp4", "m4v", "3gp", "3g2", "mpg", "mpeg", "m2v", "ts", "MTS", "m2ts", "dv",
          "avi", "mkv", "webm", "m4a", "wav", "aiff", "aifc", "caf", "mp3", "aac", "ac3", "eac3", "amr" };

// The process's peak resident memory so far, in KiB.
qint64 peakResidentKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toLongLong();
    }
    return -1;
}

TEST(ClipMetadata, TextDressedAsAClipOfAnyTypeIsRefusedWithoutSocketsAndInLittleMemory)
{
    QTemporaryDir folder;
    // FFmpeg left to guess reads each as what it is: the session binds sockets and joins its multicast
    // group, the playlist and the concat script open what they name, the subtitles are read whole.
    const QByteArray texts[] = {
        "v=0\no=- 0 0 IN IP4 127.0.0.1\ns=A001C001\nc=IN IP4 239.255.42.42/16\nt=0 0\n"
        "m=video 5004 RTP/AVP 96\na=rtpmap:96 H264/90000\nm=audio 5006 RTP/AVP 97\n"
        "a=rtpmap:97 L16/48000/2\n",
        "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nA001C001.ts\n#EXTINF:2.0,\n"
        "http://127.0.0.1:9/A001C002.ts\n#EXT-X-ENDLIST\n",
        "ffconcat version 1.0\nfile 'A001C001.mov'\nfile 'http://127.0.0.1:9/A001C002.mov'\n",
    };
    // Some 50 MB of subtitles, written a block at a time so that the test's own memory stays flat.
    const QString subtitles = folder.filePath(u"subtitles"_s);
    {
        QByteArray block;
        for (int cue = 0; cue < 1000; ++cue)
            block += QByteArray::number(cue + 1)
                + "\n00:00:01,000 --> 00:00:02,500\n"
                  "The boom dips into frame on the left, take "
                + QByteArray::number(cue) + ".\n\n";
        QFile file(subtitles);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        while (file.size() < 50'000'000)
            file.write(block);
    }

    const int socketsBefore = SocketWatch::opened();
    const qint64 peakBefore = peakResidentKiB();
    for (const char* extension : clipExtensions) {
        const QString suffix = u"."_s + QLatin1String(extension);
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            QFile file(folder.filePath(u"text%1"_s.arg(i) + suffix));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(texts[i]);
            file.close();
            SCOPED_TRACE(file.fileName().toStdString());
            const ClipMetadata::Reading reading = ClipMetadata::readHeader(file.fileName());
            EXPECT_FALSE(reading.metadata);
            EXPECT_EQ(reading.failure, ClipInput::Failure::NotItsType);
        }
        const QString named = folder.filePath(u"subtitles"_s + suffix);
        ASSERT_EQ(::link(QFile::encodeName(subtitles).constData(), QFile::encodeName(named).constData()), 0);
        SCOPED_TRACE(named.toStdString());
        const ClipMetadata::Reading reading = ClipMetadata::readHeader(named);
        EXPECT_FALSE(reading.metadata);
        // A demuxer that searches the whole file for its start (MXF, DV, program streams) may run into
        // the deadline on a loaded machine: a refusal all the same.
        EXPECT_NE(reading.failure, ClipInput::Failure::Unreadable);
    }
    EXPECT_EQ(SocketWatch::opened(), socketsBefore);
    EXPECT_LT(peakResidentKiB() - peakBefore, 32 * 1024);
}

TEST(ClipMetadata, ClipsOfEveryOtherTypeStillRead)
{
    QTemporaryDir folder;
    const QStringList sound { u"-vn"_s };
    const QStringList pcm { u"-vn"_s, u"-c:a"_s, u"pcm_s16le"_s };
    const QStringList dv { u"-c:v"_s, u"dvvideo"_s, u"-s"_s, u"720x576"_s, u"-pix_fmt"_s, u"yuv420p"_s,
        u"-frames:v"_s, u"2"_s };
    const struct
    {
        const char* name;
        Kind kind;
        const char* muxer;
        QStringList options;
        const char* codec; // of the picture; empty for sound, or a bare stream the header does not name
    } cases[] = {
        { "a.ts", Kind::Mpeg2Mxf, "mpegts", {}, "mpeg2video" },
        { "b.MTS", Kind::Mpeg2Mxf, "mpegts", {}, "mpeg2video" },
        { "c.m2ts", Kind::Mpeg2Mxf, "mpegts", {}, "mpeg2video" },
        { "d.mpg", Kind::Mpeg2Mxf, "mpeg", {}, "mpeg2video" },
        { "e.m2v", Kind::Mpeg2Mxf, "mpeg2video", {}, "" },
        { "f.mkv", Kind::Mpeg2Mxf, "matroska", {}, "mpeg2video" },
        { "g.avi", Kind::Mpeg2Mxf, "avi", {}, "mpeg2video" },
        { "h.dv", Kind::Mpeg2Mxf, "dv", dv, "dvvideo" },
        { "i.m4v", Kind::H264Mp4, "mp4", {}, "h264" },
        { "j.3gp", Kind::H264Mp4, "3gp", { u"-c:a"_s, u"aac"_s }, "h264" },
        { "k.m4a", Kind::H264Mp4, "mp4", sound, "" },
        { "l.wav", Kind::H264Mp4, "wav", pcm, "" },
        { "m.aiff", Kind::H264Mp4, "aiff", sound, "" },
        { "n.caf", Kind::H264Mp4, "caf", pcm, "" },
        { "o.ac3", Kind::H264Mp4, "ac3", sound + QStringList { u"-c:a"_s, u"ac3"_s }, "" },
        { "p.aac", Kind::H264Mp4, "adts", sound + QStringList { u"-c:a"_s, u"aac"_s }, "" },
    };
    for (const auto& [name, kind, muxer, options, codec] : cases) {
        SCOPED_TRACE(name);
        const QString path = ClipFixtures::make(kind, folder.filePath(QLatin1String(name)),
            QStringList { u"-f"_s, QLatin1String(muxer) } + options);
        const ClipMetadata::Reading reading = ClipMetadata::readHeader(path);
        ASSERT_TRUE(reading.metadata);
        if (*codec) {
            EXPECT_EQ(reading.metadata->codec, QLatin1String(codec));
        }
    }
}

}
