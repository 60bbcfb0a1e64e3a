#pragma once

#include <QString>

// How far back mpv's backward playback can take a clip, read from the clip's own index of its video
// frames. mpv plays backwards from the keyframe that follows the play head: after a clip's last keyframe
// (its last group of pictures, or past the point where a truncated clip is cut) it waits for ever, and
// a clip whose index marks no keyframe at all cannot be played backwards.
struct BackwardReach
{
    enum class Index {
        Absent, // no index the demuxer hands out before playing (MXF, MPEG-TS): mpv is taken as it comes
        Usable,
        Broken, // an index that names no keyframe whose data is in the file
    };
    Index index = Index::Absent;
    // For a usable index, in seconds from the clip's start: the last keyframe whose data is all in the
    // file, and the last frame that is.
    double lastKeyframe = 0;
    double lastFrame = 0;
    bool intraOnly = false; // every frame is a keyframe (ProRes, DNxHD)

    // Reads the clip's index: a header read, but a long clip's index is large, so not on the main
    // thread. It opens the clip as the metadata reader does (ClipInput): a regular file, with the
    // demuxer its type calls for, within a deadline.
    static BackwardReach read(const QString& path);
};

// How J plays a clip backwards from `position`.
struct ReverseRoute
{
    enum class Way {
        Backward, // mpv's backward playback, from here
        StepToKeyframe, // exact seeks back to `handover`, then mpv's backward playback from there
        Step, // exact seeks all the way: the clip cannot be played backwards
    };
    Way way = Way::Backward;
    // Where reverse play starts: the play head, or a truncated clip's last frame when the play head is
    // past the point where the clip is cut.
    double from = 0;
    double handover = 0;

    bool operator==(const ReverseRoute&) const = default;
};

ReverseRoute reverseRoute(const BackwardReach& reach, double position);
