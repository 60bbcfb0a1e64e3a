#pragma once

#include <QDateTime>
#include <QStringList>
#include <QStringView>

#include <optional>

// Where a clip's recording start comes from. A copy made with cp -a, rsync -a or a file manager gets a
// new birth time, so the date the camera wrote into the clip is trusted first; the file system's dates
// stand in only when the clip carries none, and a playable clip is never dropped for want of a date.
namespace RecordingStart {

enum class Source { Clip, BirthTime, ModificationTime };

struct Choice
{
    QDateTime moment;
    Source source;

    bool operator==(const Choice&) const = default;
};

// A date as FFmpeg's demuxers write it: ISO 8601, as "2016-03-01T14:05:09.000000Z" or, from QuickTime
// metadata, "2016-03-01T15:05:09+0100". A date without a zone is taken as UTC, the containers' own
// convention. Nothing when the text is not such a date.
std::optional<QDateTime> parse(QStringView text);

// Whether `moment` can be a recording start: not before 1990 (a clock that was never set reads 1970 or
// 1904) and not more than a day after `now`.
bool isPlausible(const QDateTime& moment, const QDateTime& now);

// The first of the clip's dates (most trusted first) that parses and is plausible.
std::optional<QDateTime> fromClip(const QStringList& dates, const QDateTime& now);

// The order of trust: the clip's own date; else the file's birth time; else its modification time,
// which every file has and which is taken even when implausible.
Choice choose(const std::optional<QDateTime>& clipDate, const std::optional<QDateTime>& birthTime,
    const QDateTime& modificationTime, const QDateTime& now);

}
