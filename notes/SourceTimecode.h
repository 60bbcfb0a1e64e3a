#pragma once

#include "notes/FrameRate.h"

#include <QString>
#include <QStringView>

#include <optional>

// A frame's SMPTE timecode at an exact rate, counted in whole frames. In drop-frame timecode (29.97 and
// 59.94 only) the frame numbers 0 and 1 (0 to 3 at 59.94) are left out at the start of every minute but
// each tenth, so that the timecode keeps to the clock.
class SourceTimecode
{
public:
    // "HH:MM:SS:FF"; ';' or '.' before the frames asks for drop-frame. Nothing when the text is not a
    // timecode, a field is out of range (a frame number the rate or drop-frame does not have included), or
    // drop-frame is asked at a rate that has none.
    static std::optional<SourceTimecode> parse(QStringView text, FrameRate rate);
    static SourceTimecode zero(FrameRate rate);

    qint64 frameCount() const { return frames; } // frames since 00:00:00:00
    bool isDropFrame() const { return dropFrame; }
    FrameRate rate() const { return frameRate; }
    // The timecode `count` frames later (or earlier); it wraps at 24 hours, as timecode does.
    SourceTimecode plusFrames(qint64 count) const;
    QString text() const; // ';' before the frames in drop-frame

    bool operator==(const SourceTimecode&) const = default;

private:
    SourceTimecode(qint64 frames, FrameRate rate, bool dropFrame);
    qint64 framesPerDay() const;

    qint64 frames;
    FrameRate frameRate;
    bool dropFrame;
};
