#include "ClipFixtures.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ClipFixtures {

namespace {

    struct Recipe
    {
        const char* fileName;
        QStringList arguments;
    };

    Recipe recipe(Kind kind)
    {
        const auto video = [](const char* size, const char* rate, const char* duration) {
            return QStringList { QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("testsrc=size=%1:rate=%2:duration=%3")
                    .arg(QLatin1String(size), QLatin1String(rate), QLatin1String(duration)) };
        };
        const QStringList sound { QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
            QStringLiteral("sine=frequency=440:duration=2"), QStringLiteral("-shortest") };
        const QStringList h264 { QStringLiteral("-c:v"), QStringLiteral("libx264"),
            QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"), QStringLiteral("-preset"),
            QStringLiteral("ultrafast") };
        switch (kind) {
        case Kind::H264Mp4:
            return { "h264.mp4", video("64x36", "25", "2") + sound + h264 };
        case Kind::ProResMov:
            return { "prores.mov",
                video("64x36", "25", "1") + QStringList { "-c:v", "prores_ks", "-profile:v", "0" } };
        case Kind::DnxhrMxf:
            return { "dnxhr.mxf",
                video("1280x720", "25", "1")
                    + QStringList { "-c:v", "dnxhd", "-profile:v", "dnxhr_lb", "-pix_fmt", "yuv422p" } };
        case Kind::Mpeg2Mxf:
            return { "mpeg2.mxf",
                video("64x36", "25", "1")
                    + QStringList { "-c:v", "mpeg2video", "-pix_fmt", "yuv422p", "-b:v", "2M" } };
        case Kind::ShortMp4:
            return { "short.mp4", video("64x36", "25", "0.4") + h264 };
        case Kind::LongMp4:
            return { "long.mp4", video("64x36", "5", "70") + h264 };
        }
        return {};
    }

    QString made(Kind kind)
    {
        static QTemporaryDir folder;
        static QMap<Kind, QString> paths;
        if (const auto found = paths.constFind(kind); found != paths.cend())
            return *found;
        const Recipe what = recipe(kind);
        const QString path = folder.filePath(QLatin1String(what.fileName));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
            QStringList { QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                QStringLiteral("-y") }
                + what.arguments + QStringList { path });
        const bool finished = ffmpeg.waitForFinished(120'000);
        EXPECT_TRUE(finished && ffmpeg.exitCode() == 0) << ffmpeg.readAllStandardError().toStdString();
        paths.insert(kind, path);
        return path;
    }

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
