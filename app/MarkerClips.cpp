#include "app/MarkerClips.h"

#include "core/DateFormatter.h"

MarkerClip markerClip(const Clip& clip, const std::optional<ClipMetadata>& metadata, RecordingStart::Source dateSource)
{
    DateFormatter formatter;
    formatter.setDateFormat(DateFormatter::recordingTimeFormat.toString());
    MarkerClip marker;
    marker.name = clip.name;
    marker.path = clip.path;
    marker.recordingStart = formatter.dateFromString(clip.created).value_or(QDateTime());
    marker.recordingStartIsApproximate = dateSource != RecordingStart::Source::Clip;
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
