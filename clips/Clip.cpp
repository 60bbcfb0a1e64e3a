#include "clips/Clip.h"
#include "clips/ClipMetadata.h"
#include "core/DateFormatter.h"

QString Clip::created() const
{
    return DateFormatter::standardDescription(start.moment);
}

bool Clip::takeRecordingDate(const ClipMetadata& metadata, const QDateTime& now)
{
    const std::optional<QDateTime> own = RecordingStart::fromClip(metadata.dates, now);
    if (!own)
        return false;
    start = { QDateTime::fromSecsSinceEpoch(own->toSecsSinceEpoch(), Qt::UTC), RecordingStart::Source::Clip };
    return true;
}
