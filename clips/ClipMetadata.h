#pragma once

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

    // Reads the header of the file at `path`. Nothing when it is not a regular file (a FIFO named like a
    // clip is never opened for reading), cannot be opened, or holds no container FFmpeg recognises.
    // Callable from any thread and without an application object; the file is the only thing opened.
    static std::optional<ClipMetadata> read(const QString& path);
};
