#include "ClipFixtures.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace ClipFixtures {

namespace {

    // The file name and ffmpeg's arguments (no spaces inside one) for a kind of clip.
    std::pair<const char*, QString> recipe(Kind kind)
    {
        const auto video = [](const char* size, const char* rate, const char* duration) {
            return u"-f lavfi -i testsrc=size=%1:rate=%2:duration=%3 "_s.arg(
                QLatin1String(size), QLatin1String(rate), QLatin1String(duration));
        };
        const QString h264 = u"-c:v libx264 -pix_fmt yuv420p -preset ultrafast"_s;
        switch (kind) {
        case Kind::H264Mp4:
            return { "h264.mp4",
                video("64x36", "25", "2") + "-f lavfi -i sine=frequency=440:duration=2 -shortest " + h264 };
        case Kind::ProResMov:
            return { "prores.mov", video("64x36", "25", "1") + "-c:v prores_ks -profile:v 0" };
        case Kind::DnxhrMxf:
            return { "dnxhr.mxf",
                video("1280x720", "25", "1") + "-c:v dnxhd -profile:v dnxhr_lb -pix_fmt yuv422p" };
        case Kind::Mpeg2Mxf:
            return { "mpeg2.mxf", video("64x36", "25", "1") + "-c:v mpeg2video -pix_fmt yuv422p -b:v 2M" };
        case Kind::ShortMp4:
            return { "short.mp4", video("64x36", "25", "0.4") + h264 };
        case Kind::LongMp4:
            return { "long.mp4", video("64x36", "5", "70") + h264 };
        case Kind::GopMp4:
        case Kind::TruncatedMp4:
        case Kind::BrokenIndexMp4:
            return { kind == Kind::GopMp4        ? "gop.mp4"
                    : kind == Kind::TruncatedMp4 ? "truncated.mp4"
                                                 : "noindex.mp4",
                video("64x36", "25", "8")
                    + "-c:v libx264 -pix_fmt yuv420p -preset veryfast -g 50 -keyint_min 50 -sc_threshold 0 "
                      "-movflags +faststart" };
        case Kind::ProResLongMov:
            return { "prores-long.mov", video("64x36", "25", "4") + "-c:v prores_ks -profile:v 0" };
        }
        return {};
    }

    void runFfmpeg(Kind kind, const QStringList& options, const QString& path)
    {
        QProcess ffmpeg;
        ffmpeg.start(u"ffmpeg"_s,
            u"-loglevel error -nostdin -y "_s.append(recipe(kind).second).split(u' ') + options
                + QStringList { path });
        const bool finished = ffmpeg.waitForFinished(120'000);
        EXPECT_TRUE(finished && ffmpeg.exitCode() == 0) << ffmpeg.readAllStandardError().toStdString();
    }

    // What sets a damaged clip apart from the clip ffmpeg made.
    void damage(Kind kind, const QString& path)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        if (kind == Kind::TruncatedMp4) {
            file.resize(bytes.size() * 55 / 100);
            return;
        }
        // The sync sample table ("stss": version and flags, a count, then sample numbers) points past
        // the last sample.
        const qsizetype table = bytes.indexOf("stss");
        ASSERT_GT(table, 0);
        const uint32_t count = qFromBigEndian<uint32_t>(bytes.constData() + table + 8);
        for (uint32_t i = 0; i < count; ++i)
            qToBigEndian<uint32_t>(1'000'000 + i, bytes.data() + table + 12 + 4 * i);
        file.seek(0);
        file.write(bytes);
    }

    QString made(Kind kind)
    {
        static QTemporaryDir folder;
        static QMap<Kind, QString> paths;
        if (const auto found = paths.constFind(kind); found != paths.cend())
            return *found;
        const QString path = folder.filePath(QLatin1String(recipe(kind).first));
        runFfmpeg(kind, {}, path);
        if (kind == Kind::TruncatedMp4 || kind == Kind::BrokenIndexMp4)
            damage(kind, path);
        paths.insert(kind, path);
        return path;
    }

}

QString make(Kind kind, const QString& destination, const QStringList& options)
{
    // The container follows the kind, whatever the destination's name says; the recipe's file name
    // ends in the muxer's name.
    const QString muxer = QString::fromLatin1(recipe(kind).first).section(u'.', -1);
    runFfmpeg(kind, QStringList { u"-f"_s, muxer } + options, destination);
    return destination;
}

QString fileName(Kind kind)
{
    return QLatin1String(recipe(kind).first);
}

QString copy(Kind kind, const QString& destination)
{
    QFile::remove(destination);
    EXPECT_TRUE(QFile::copy(made(kind), destination)) << destination.toStdString();
    QFile::setPermissions(
        destination, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return destination;
}

}
