#include "clips/BackwardReach.h"
#include "clips/ClipInput.h"
#include "clips/FFmpegLibrary.h"

#include <algorithm>
#include <optional>

namespace {

// A keyframe that sits a hair after the play head still lies ahead of it for mpv.
constexpr double sameTime = 1e-3;

}

BackwardReach BackwardReach::read(const QString& path)
{
    BackwardReach reach;
    const ClipInput input(path);
    AVFormatContext* format = input.format();
    if (!format)
        return reach; // the player says why it cannot open the clip
    const FFmpegLibrary& av = *ffmpegLibrary(); // loaded, since the clip was opened
    const int video = av.findBestStream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0)
        return reach;
    AVStream* stream = format->streams[video];
    const int entries = av.formatIndexGetEntriesCount(stream);
    if (entries == 0)
        return reach;

    const int64_t fileSize = av.ioSize(format->pb);
    const double timeBase = av_q2d(stream->time_base);
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    std::optional<double> lastKeyframe, lastFrame;
    bool intraOnly = true;
    for (int i = 0; i < entries; ++i) {
        const AVIndexEntry* entry = av.formatIndexGetEntry(stream, i);
        const bool keyframe = entry->flags & AVINDEX_KEYFRAME;
        intraOnly = intraOnly && keyframe;
        // The index of a truncated clip still names the frames that were cut off.
        if (entry->timestamp == AV_NOPTS_VALUE || (fileSize >= 0 && entry->pos + entry->size > fileSize))
            continue;
        // Index times are decoding times, a frame or two before the times shown: a keyframe taken
        // for a little earlier than it is only hands over to backward play a little later.
        const double seconds = double(entry->timestamp - start) * timeBase;
        lastFrame = std::max(lastFrame.value_or(seconds), seconds);
        if (keyframe)
            lastKeyframe = std::max(lastKeyframe.value_or(seconds), seconds);
    }
    if (!lastKeyframe) {
        reach.index = Index::Broken;
        return reach;
    }
    reach.index = Index::Usable;
    reach.lastKeyframe = *lastKeyframe;
    reach.lastFrame = *lastFrame;
    reach.intraOnly = intraOnly;
    return reach;
}

ReverseRoute reverseRoute(const BackwardReach& reach, double position)
{
    using Way = ReverseRoute::Way;
    switch (reach.index) {
    case BackwardReach::Index::Absent:
        return { Way::Backward, position, 0 };
    case BackwardReach::Index::Broken:
        return { Way::Step, position, 0 };
    case BackwardReach::Index::Usable:
        break;
    }
    const double from = std::min(position, reach.lastFrame);
    if (from == position && position <= reach.lastKeyframe + sameTime)
        return { Way::Backward, position, 0 };
    // Past the last keyframe, or past the end of a truncated clip's pictures: stepping comes first.
    return { Way::StepToKeyframe, from, std::min(from, reach.lastKeyframe) };
}
