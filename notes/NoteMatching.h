#pragma once

#include "notes/LogNote.h"
#include "notes/MarkerClip.h"
#include "notes/SourceTimecode.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A note placed on a frame of a clip.
struct Marker
{
    qint64 noteId = 0;
    qint64 frame = 0; // from the clip's first frame
    QString sourceTimecode; // the clip's start timecode plus `frame`
    QDateTime recordedAt;
    QString text;
    bool approximate = false; // the clip's recording start was a file time

    bool operator==(const Marker&) const = default;
};

struct ClipMarkers
{
    MarkerClip clip;
    std::vector<Marker> markers; // by frame
    // The clip's whole frames and the timecode of its first frame; 0 and none for a clip that can carry no
    // markers (no readable rate, no duration).
    qint64 frameCount = 0;
    std::optional<SourceTimecode> start;

    bool canCarryMarkers() const { return frameCount > 0 && start.has_value(); }
};

struct MarkerPlan
{
    std::vector<ClipMarkers> clips; // every clip given, in the order given
    std::vector<LogNote> unplaced; // in no clip, or without a recording time: kept, in the order given
    QStringList problems; // clips without a readable rate, a duration or a recording start ...

    qsizetype markerCount() const;
};

// Puts each note on every clip whose recording [start, start + duration) holds its recording time (the
// clips of several cameras, and overlapping clips of one camera, each get it), on the frame
// floor((recordedAt - recordingStart) x rate), computed exactly on milliseconds. A clip whose start
// timecode does not read at its rate is counted from 00:00:00:00, and that is reported.
MarkerPlan matchNotes(const std::vector<LogNote>& notes, const std::vector<MarkerClip>& clips);

// A clip's whole frames: its duration times its rate, to the nearest frame (containers store durations
// rounded). 0 without a rate or a duration.
qint64 clipFrameCount(const MarkerClip& clip);
