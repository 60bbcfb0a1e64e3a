#include "clips/MarkerClips.h"

MarkerClip markerClip(const Clip& clip, const std::optional<ClipMetadata>& metadata)
{
    MarkerClip marker;
    marker.name = clip.name;
    marker.path = clip.path;
    marker.recordingStart = clip.start.moment;
    marker.recordingStartIsApproximate = clip.start.source != RecordingStart::Source::Clip;
    if (metadata) {
        marker.durationSeconds = metadata->duration;
        marker.rate = FrameRate::fromFraction(metadata->frameRate.numerator, metadata->frameRate.denominator);
        marker.startTimecode = metadata->timecode;
        marker.width = metadata->width;
        marker.height = metadata->height;
        marker.codec = metadata->codec;
    }
    return marker;
}
