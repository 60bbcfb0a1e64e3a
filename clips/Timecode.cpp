#include "clips/Timecode.h"
#include "clips/FFmpegLibrary.h"

#include <cmath>

namespace {

// FFmpeg's own timecode arithmetic, the one its muxers write timecodes with.
std::optional<AVTimecode> avTimecode(ClipMetadata::Rate rate, bool dropFrame, int startFrame)
{
    const FFmpegLibrary* av = ffmpegLibrary();
    if (!av)
        return std::nullopt;
    AVTimecode timecode;
    const int flags = AV_TIMECODE_FLAG_24HOURSMAX | (dropFrame ? AV_TIMECODE_FLAG_DROPFRAME : 0);
    if (av->timecodeInit(
            &timecode, AVRational { rate.numerator, rate.denominator }, flags, startFrame, nullptr)
        < 0)
        return std::nullopt;
    return timecode;
}

}

Timecode::Timecode(int startFrame, ClipMetadata::Rate rate, bool dropFrame)
    : startFrame(startFrame)
    , frameRate(rate)
    , dropFrame(dropFrame)
{
}

std::optional<Timecode> Timecode::parse(QStringView text, ClipMetadata::Rate rate)
{
    // FFmpeg's parser reads any "%d:%d:%d%c%d": the shape and the ranges are checked here first.
    const QString trimmed = text.trimmed().toString();
    if (trimmed.size() != 11 || rate.numerator <= 0 || rate.denominator <= 0)
        return std::nullopt;
    for (int i : { 0, 1, 3, 4, 6, 7, 9, 10 })
        if (trimmed[i] < u'0' || trimmed[i] > u'9')
            return std::nullopt;
    if (trimmed[2] != u':' || trimmed[5] != u':' || !QStringView(u":;.").contains(trimmed[8]))
        return std::nullopt;
    const FFmpegLibrary* av = ffmpegLibrary();
    AVTimecode timecode;
    if (!av
        || av->timecodeInitFromString(&timecode, AVRational { rate.numerator, rate.denominator },
               trimmed.toLatin1().constData(), nullptr)
            < 0)
        return std::nullopt;
    const int hours = trimmed.mid(0, 2).toInt(), minutes = trimmed.mid(3, 2).toInt();
    const int seconds = trimmed.mid(6, 2).toInt(), frames = trimmed.mid(9, 2).toInt();
    const bool dropFrame = timecode.flags & AV_TIMECODE_FLAG_DROPFRAME;
    if (hours > 23 || minutes > 59 || seconds > 59 || frames >= int(timecode.fps))
        return std::nullopt;
    // Drop-frame timecode has no frames 0 and 1 (0 to 3 at 59.94) at the start of a minute that is not a
    // tenth one.
    if (dropFrame && minutes % 10 != 0 && seconds == 0 && frames < int(timecode.fps) / 15)
        return std::nullopt;
    return Timecode(timecode.start, rate, dropFrame);
}

QString Timecode::at(double seconds) const
{
    const auto timecode = avTimecode(frameRate, dropFrame, startFrame);
    if (!timecode)
        return {};
    // A frame's position is its start: a hair below a frame boundary still names that boundary's frame.
    const double frames = std::floor(std::max(0.0, seconds) * frameRate.perSecond() + 1e-6);
    // Whole days are left out first, so that the count stays inside FFmpeg's int however long the clip.
    const qint64 framesPerDay
        = qint64(timecode->fps) * 86400 - (dropFrame ? qint64(timecode->fps / 15) * (24 * 60 - 24 * 6) : 0);
    const int frame = int(qint64(frames) % framesPerDay);
    char text[AV_TIMECODE_STR_SIZE];
    return QString::fromLatin1(ffmpegLibrary()->timecodeMakeString(&*timecode, text, frame));
}
