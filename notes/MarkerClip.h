#pragma once

#include "notes/FrameRate.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What matching notes to a clip and writing its markers need to know of the clip. The application and
// the command-line tool each fill one from their clip record and its metadata.
struct MarkerClip
{
    QString name; // the file name, as the clip table shows it
    QString path; // absolute
    QDateTime recordingStart; // the moment of the first frame
    bool recordingStartIsApproximate = false; // a file time (birth or modification), not the clip's own date
    double durationSeconds = 0; // 0: unknown
    std::optional<FrameRate> rate; // none: the rate could not be read, and the clip gets no markers
    QString startTimecode; // as the clip writes it; empty: 00:00:00:00
    int width = 0;
    int height = 0;
    QString codec; // FFmpeg's codec name, as "h264" or "prores"
};
