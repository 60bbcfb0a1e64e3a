#pragma once

#include "clips/ClipMetadata.h"

#include <QString>
#include <QStringView>

#include <optional>

// A clip's source timecode: the start timecode it was recorded with, counted on at its frame rate, as
// SMPTE timecode ("HH:MM:SS:FF", or "HH:MM:SS;FF" in drop-frame, where frame numbers 0 and 1 are left
// out at the start of each minute except every tenth, so that 29.97 fps timecode keeps to the clock).
class Timecode
{
public:
    // The timecode `text` at `rate` frames a second; drop-frame when `text` says so with ';' (or '.')
    // before the frames. Nothing when the text is not a timecode, the rate is unknown, or drop-frame is
    // asked at a rate that has none (only multiples of 30000/1001 drop frames).
    static std::optional<Timecode> parse(QStringView text, ClipMetadata::Rate rate);

    bool isDropFrame() const { return dropFrame; }
    ClipMetadata::Rate rate() const { return frameRate; }

    // The timecode of the frame shown at `seconds` after the clip's start; it wraps at 24 hours.
    QString at(double seconds) const;

private:
    Timecode(int startFrame, ClipMetadata::Rate rate, bool dropFrame);

    int startFrame;
    ClipMetadata::Rate frameRate;
    bool dropFrame;
};
