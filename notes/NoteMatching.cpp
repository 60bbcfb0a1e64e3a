#include "notes/NoteMatching.h"

#include <algorithm>
#include <cmath>

namespace {

struct TimedNote
{
    qint64 milliseconds; // since the epoch
    const LogNote* note;
};

// Clips longer than a week are taken as a week long: a container's absurd duration must not overflow
// the frame arithmetic (a week in microseconds times a rate's numerator stays below 2^63).
constexpr double longestClipSeconds = 7.0 * 24 * 3600;

}

qint64 clipFrameCount(const MarkerClip& clip)
{
    if (!clip.rate || !(clip.durationSeconds > 0) || !std::isfinite(clip.durationSeconds))
        return 0;
    // Microseconds keep what the container wrote; a day's worth at any rate stays within 64 bits.
    const qint64 microseconds = std::llround(std::min(clip.durationSeconds, longestClipSeconds) * 1e6);
    const qint64 perFrameDenominator = clip.rate->denominator * 1'000'000;
    return (microseconds * clip.rate->numerator + perFrameDenominator / 2) / perFrameDenominator;
}

qsizetype MarkerPlan::markerCount() const
{
    qsizetype count = 0;
    for (const ClipMarkers& clip : clips)
        count += qsizetype(clip.markers.size());
    return count;
}

MarkerPlan matchNotes(const std::vector<LogNote>& notes, const std::vector<MarkerClip>& clips)
{
    MarkerPlan plan;
    std::vector<TimedNote> timed;
    timed.reserve(notes.size());
    for (const LogNote& note : notes)
        if (note.recordedAt && note.recordedAt->isValid())
            timed.push_back({ note.recordedAt->toMSecsSinceEpoch(), &note });
    std::stable_sort(timed.begin(), timed.end(),
        [](const TimedNote& a, const TimedNote& b) { return a.milliseconds < b.milliseconds; });
    std::vector<bool> placed(notes.size(), false);

    plan.clips.reserve(clips.size());
    for (const MarkerClip& clip : clips) {
        ClipMarkers& entry = plan.clips.emplace_back();
        entry.clip = clip;
        if (!clip.rate) {
            plan.problems.append(QStringLiteral("%1: its frame rate could not be read; it gets no markers").arg(clip.name));
            continue;
        }
        entry.frameCount = clipFrameCount(clip);
        if (entry.frameCount <= 0) {
            plan.problems.append(QStringLiteral("%1: its duration is unknown; it gets no markers").arg(clip.name));
            continue;
        }
        if (!clip.recordingStart.isValid()) {
            plan.problems.append(QStringLiteral("%1: it has no recording start; it gets no markers").arg(clip.name));
            entry.frameCount = 0;
            continue;
        }
        const FrameRate rate = *clip.rate;
        entry.start = clip.startTimecode.trimmed().isEmpty() ? std::optional(SourceTimecode::zero(rate))
                                                             : SourceTimecode::parse(clip.startTimecode, rate);
        if (!entry.start) {
            plan.problems.append(QStringLiteral("%1: its start timecode '%2' does not read at its frame rate; "
                                                "its markers count from 00:00:00:00")
                                     .arg(clip.name, clip.startTimecode));
            entry.start = SourceTimecode::zero(rate);
        }

        const qint64 start = clip.recordingStart.toMSecsSinceEpoch();
        const qint64 end = start + std::llround(std::min(clip.durationSeconds, longestClipSeconds) * 1000);
        const auto first = std::lower_bound(timed.begin(), timed.end(), start,
            [](const TimedNote& note, qint64 moment) { return note.milliseconds < moment; });
        const auto last = std::lower_bound(first, timed.end(), end,
            [](const TimedNote& note, qint64 moment) { return note.milliseconds < moment; });
        entry.markers.reserve(size_t(last - first));
        for (auto it = first; it != last; ++it) {
            // floor(milliseconds x rate / 1000), exact in integers.
            const qint64 frame = (it->milliseconds - start) * rate.numerator / (rate.denominator * 1000);
            if (frame >= entry.frameCount)
                break;
            const LogNote& note = *it->note;
            entry.markers.push_back(Marker { note.id, frame, entry.start->plusFrames(frame).text(),
                *note.recordedAt, note.text, clip.recordingStartIsApproximate });
            placed[size_t(it->note - notes.data())] = true;
        }
    }

    for (size_t i = 0; i < notes.size(); ++i)
        if (!placed[i])
            plan.unplaced.push_back(notes[i]);
    return plan;
}
