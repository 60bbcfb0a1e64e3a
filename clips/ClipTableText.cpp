#include "clips/ClipTableText.h"
#include "clips/PlayerTimeText.h"

#include <QCoreApplication>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace ClipTableText {

QString recordingStart(const QDateTime& moment)
{
    return moment.isValid() ? moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            : QString();
}

QString recordingStartSource(RecordingStart::Source source, bool pending)
{
    const auto text = [](const char* english) { return QCoreApplication::translate("ClipTable", english); };
    switch (source) {
    case RecordingStart::Source::Clip:
        return text(QT_TRANSLATE_NOOP("ClipTable", "Recording start written into the clip"));
    case RecordingStart::Source::BirthTime:
        return pending ? text(QT_TRANSLATE_NOOP(
                   "ClipTable", "The file's creation time, until the clip's own date has been read"))
                       : text(QT_TRANSLATE_NOOP(
                           "ClipTable", "The file's creation time: the clip carries no recording date"));
    case RecordingStart::Source::ModificationTime:
        return pending ? text(QT_TRANSLATE_NOOP(
                   "ClipTable", "The file's modification time, until the clip's own date has been read"))
                       : text(QT_TRANSLATE_NOOP(
                           "ClipTable", "The file's modification time: the clip carries no recording date"));
    }
    return {};
}

QString duration(double seconds, ClipMetadata::Rate rate)
{
    return seconds > 0 ? PlayerTimeText::timecode(seconds, rate.perSecond()) : QString();
}

QString failure(ClipInput::Failure failure, const QString& name)
{
    const auto text = [](const char* english) { return QCoreApplication::translate("ClipTable", english); };
    switch (failure) {
    case ClipInput::Failure::NotItsType:
        return text(QT_TRANSLATE_NOOP("ClipTable", "Not a %1 clip")).arg(name.mid(name.lastIndexOf(u'.')));
    case ClipInput::Failure::Unreadable:
        return text(QT_TRANSLATE_NOOP("ClipTable", "The file cannot be read"));
    case ClipInput::Failure::TooSlow:
        return text(QT_TRANSLATE_NOOP("ClipTable", "The file took too long to read"));
    }
    return {};
}

QString codecName(const QString& ffmpegName, int profile)
{
    static const QHash<QString, QString> names {
        { QStringLiteral("h264"), QStringLiteral("H.264") },
        { QStringLiteral("hevc"), QStringLiteral("HEVC") },
        { QStringLiteral("prores"), QStringLiteral("ProRes") },
        { QStringLiteral("dnxhd"), QStringLiteral("DNxHD") },
        { QStringLiteral("mpeg2video"), QStringLiteral("MPEG-2") },
        { QStringLiteral("mpeg4"), QStringLiteral("MPEG-4") },
        { QStringLiteral("mjpeg"), QStringLiteral("Motion JPEG") },
        { QStringLiteral("av1"), QStringLiteral("AV1") },
        { QStringLiteral("vp9"), QStringLiteral("VP9") },
        { QStringLiteral("dvvideo"), QStringLiteral("DV") },
        { QStringLiteral("jpeg2000"), QStringLiteral("JPEG 2000") },
    };
    // DNxHR is the DNxHD codec with one of the resolution-independent profiles.
    if (ffmpegName == QLatin1String("dnxhd") && profile > FF_PROFILE_DNXHD)
        return QStringLiteral("DNxHR");
    return names.value(ffmpegName, ffmpegName.toUpper());
}

QString format(const ClipMetadata& metadata)
{
    QStringList parts;
    if (!metadata.codec.isEmpty())
        parts.append(codecName(metadata.codec, metadata.profile));
    if (metadata.width > 0 && metadata.height > 0)
        parts.append(QStringLiteral("%1×%2").arg(metadata.width).arg(metadata.height));
    if (const double rate = metadata.frameRate.perSecond(); rate > 0)
        parts.append(QStringLiteral("%1 fps").arg(QString::number(rate, 'g', 5)));
    return parts.join(u' ');
}

}
