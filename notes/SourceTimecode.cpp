#include "notes/SourceTimecode.h"

#include <algorithm>

namespace {

constexpr qint64 secondsPerDay = 24 * 60 * 60;

int digits(QStringView text, qsizetype at)
{
    const QChar tens = text[at], units = text[at + 1];
    if (tens < u'0' || tens > u'9' || units < u'0' || units > u'9')
        return -1;
    return (tens.unicode() - u'0') * 10 + (units.unicode() - u'0');
}

void putTwoDigits(char16_t* at, qint64 value)
{
    at[0] = char16_t(u'0' + value / 10);
    at[1] = char16_t(u'0' + value % 10);
}

}

SourceTimecode::SourceTimecode(qint64 frames, FrameRate rate, bool dropFrame)
    : frames(frames)
    , frameRate(rate)
    , dropFrame(dropFrame)
{
}

SourceTimecode SourceTimecode::zero(FrameRate rate)
{
    return SourceTimecode(0, rate, false);
}

std::optional<SourceTimecode> SourceTimecode::parse(QStringView text, FrameRate rate)
{
    const QStringView trimmed = text.trimmed();
    const int timebase = rate.timebase();
    if (trimmed.size() != 11 || timebase <= 0 || trimmed[2] != u':' || trimmed[5] != u':')
        return std::nullopt;
    const QChar separator = trimmed[8];
    if (separator != u':' && separator != u';' && separator != u'.')
        return std::nullopt;
    const bool dropFrame = separator != u':';
    if (dropFrame && !rate.allowsDropFrame())
        return std::nullopt;
    const int hours = digits(trimmed, 0), minutes = digits(trimmed, 3);
    const int seconds = digits(trimmed, 6), frame = digits(trimmed, 9);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 || frame < 0
        || frame >= timebase)
        return std::nullopt;
    const int dropped = rate.droppedFramesPerMinute();
    if (dropFrame && minutes % 10 != 0 && seconds == 0 && frame < dropped)
        return std::nullopt;
    const qint64 totalMinutes = hours * 60 + minutes;
    qint64 count = ((totalMinutes * 60) + seconds) * timebase + frame;
    if (dropFrame)
        count -= dropped * (totalMinutes - totalMinutes / 10);
    return SourceTimecode(count, rate, dropFrame);
}

qint64 SourceTimecode::framesPerDay() const
{
    const qint64 timebase = frameRate.timebase();
    if (!dropFrame)
        return secondsPerDay * timebase;
    const qint64 dropped = frameRate.droppedFramesPerMinute();
    return 24 * 6 * (10 * 60 * timebase - 9 * dropped);
}

SourceTimecode SourceTimecode::plusFrames(qint64 count) const
{
    const qint64 day = framesPerDay();
    if (day <= 0)
        return *this;
    qint64 moved = (frames + count % day) % day;
    if (moved < 0)
        moved += day;
    return SourceTimecode(moved, frameRate, dropFrame);
}

QString SourceTimecode::text() const
{
    const qint64 timebase = frameRate.timebase();
    if (timebase <= 0)
        return QString();
    qint64 nominal = frames;
    if (dropFrame) {
        // Back from counted frames to the frame numbers the timecode shows, the skipped ones put back.
        const qint64 dropped = frameRate.droppedFramesPerMinute();
        const qint64 perMinute = 60 * timebase - dropped;
        const qint64 perTenMinutes = 10 * perMinute + dropped;
        const qint64 tens = nominal / perTenMinutes, rest = nominal % perTenMinutes;
        nominal += 9 * dropped * tens + (rest > dropped ? dropped * ((rest - dropped) / perMinute) : 0);
    }
    // Written digit by digit: matching writes one for every marker.
    const qint64 totalSeconds = nominal / timebase;
    char16_t text[11] = { 0, 0, u':', 0, 0, u':', 0, 0, dropFrame ? u';' : u':', 0, 0 };
    putTwoDigits(text, totalSeconds / 3600 % 24);
    putTwoDigits(text + 3, totalSeconds / 60 % 60);
    putTwoDigits(text + 6, totalSeconds % 60);
    putTwoDigits(text + 9, std::min<qint64>(nominal % timebase, 99));
    return QString(reinterpret_cast<const QChar*>(text), 11);
}
