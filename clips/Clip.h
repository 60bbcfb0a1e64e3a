#pragma once

#include "clips/RecordingStart.h"

#include <QDateTime>
#include <QString>

struct ClipMetadata;

// One clip found by a scan: its file name, its full path, and its recording start with the date it came
// from. The start is kept to the whole second: the record's "created" text, the file's attribute and the
// log service's cookie are all made from it, and must name the same moment.
struct Clip
{
    QString name;
    QString path;
    RecordingStart::Choice start;

    // The recording start as the record's "created" text: "yyyy-MM-dd HH:mm:ss +0000", in UTC.
    QString created() const;

    // Takes the clip's own recording date from its header when it carries a plausible one (true then);
    // otherwise the scan's file date stays.
    bool takeRecordingDate(const ClipMetadata& metadata, const QDateTime& now);

    bool operator==(const Clip&) const = default;
};
