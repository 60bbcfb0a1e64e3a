#pragma once

#include <QStringList>

// Clips made by ffmpeg for the tests, once per test run, and copied where a test wants them.
namespace ClipFixtures {

enum class Kind {
    H264Mp4, // 2 s, 25 fps, with sound
    ProResMov, // 1 s
    DnxhrMxf, // 1 s, 1280x720
    Mpeg2Mxf, // 1 s
    ShortMp4, // 0.4 s: plays to its end at once
    LongMp4, // 70 s at 5 fps: room for a seek back of a minute
    GopMp4, // 8 s, 25 fps, long-GOP H.264: a keyframe every 50 frames, B-frames, the index up front
    ProResLongMov, // 4 s, 25 fps: every frame a keyframe
    TruncatedMp4, // GopMp4 cut off after 55 % of its bytes: its index names frames that are not there
    BrokenIndexMp4, // GopMp4 whose index marks no frame as a keyframe that the clip holds
};

// A file name for a clip of `kind` ("h264.mp4"): its extension names the clip's own type, which a clip is
// opened as.
QString fileName(Kind kind);

// The path of a fresh copy of the clip at `destination` (a new birth time for each copy).
QString copy(Kind kind, const QString& destination);

// A clip of `kind` made afresh at `destination`, with more ffmpeg output options: what a camera writes
// into its header, as { "-metadata", "creation_time=2016-03-01T14:05:09Z", "-timecode", "10:00:00:00" }.
QString make(Kind kind, const QString& destination, const QStringList& options);

}
