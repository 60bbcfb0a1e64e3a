#pragma once

#include "clips/ClipInput.h"

#include <QString>
#include <QStringList>

#include <optional>

// What a clip says about itself in its container's header: the dates it carries, its start timecode and
// its picture format. Read with FFmpeg's demuxers, without decoding a frame.
struct ClipMetadata
{
    // A frame rate as a fraction, as containers store it (30000/1001 for NTSC); 0/0 when unknown.
    struct Rate
    {
        int numerator = 0;
        int denominator = 0;

        double perSecond() const { return denominator > 0 ? double(numerator) / denominator : 0.0; }
        bool operator==(const Rate&) const = default;
    };

    // The recording dates the clip carries, as the demuxer writes them, most trusted first: a QuickTime
    // "creationdate" (a phone's or camera's local wall clock with its zone), the container's creation
    // time, the video track's, then the date an MXF file was last written.
    QStringList dates;
    // The start timecode as written ("10:00:00:00", or with ';' before the frames for drop-frame).
    QString timecode;
    double duration = 0; // seconds; 0 when the header does not tell
    QString codec; // FFmpeg's codec name, as "prores"
    int profile = -1; // FFmpeg's profile number of the codec, -1 when none
    int width = 0;
    int height = 0;
    Rate frameRate;

    bool operator==(const ClipMetadata&) const = default;

    struct Reading;

    // Reads the header of the file at `path` with the demuxer its name's type calls for (ClipInput), within
    // ClipInput's deadline. A FIFO named like a clip is never opened for reading. Callable from any thread
    // and without an application object; the file is the only thing opened.
    static Reading readHeader(const QString& path);
    // The metadata alone, for readers that need not say why there is none.
    static std::optional<ClipMetadata> read(const QString& path);
};

// What reading a clip's header came to: its metadata, or why there is none.
struct ClipMetadata::Reading
{
    std::optional<ClipMetadata> metadata;
    ClipInput::Failure failure = ClipInput::Failure::Unreadable; // when there is no metadata
};
