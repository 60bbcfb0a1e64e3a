#pragma once

#include <QtGlobal>

#include <optional>

// A frame rate as an exact fraction, so that frame arithmetic never goes through floating seconds.
struct FrameRate
{
    qint64 numerator = 0;
    qint64 denominator = 1;

    // The rate in its lowest terms, with the rates containers write for NTSC video (2997/100, 23976/1000,
    // 5994/100 ...) taken as the exact 1000/1001 rates they stand for (30000/1001, 24000/1001,
    // 60000/1001). Nothing for a zero, negative or absurd (over 1000 fps) rate.
    static std::optional<FrameRate> fromFraction(qint64 numerator, qint64 denominator);

    int timebase() const; // nominal whole frames a second: 24 for 24000/1001, 30 for 30000/1001
    bool isNtsc() const { return denominator == 1001; }
    bool allowsDropFrame() const; // 30000/1001 and 60000/1001
    // The frames that drop-frame timecode leaves out at the start of a minute: 2 at 29.97, 4 at 59.94.
    int droppedFramesPerMinute() const { return allowsDropFrame() ? timebase() / 15 : 0; }

    bool operator==(const FrameRate&) const = default;
};
