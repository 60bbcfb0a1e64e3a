#pragma once

#include <QByteArray>
#include <QDateTime>

#include <optional>

// The seconds of a "time_offset" cookie ("91.0", "-3.0"): the present moment minus the recording moment of
// the picture under the play head. Nothing for any other text, so a mangled cookie never shifts a note.
// The page's script accepts exactly the same texts, so its clock and the stored times agree.
std::optional<double> timeOffsetSeconds(const QByteArray& cookieValue);

// The recording time of a note written at `now`: `now` minus the cookie's offset; nothing without a
// usable cookie (no clip was loaded).
std::optional<QDateTime> recordingTime(
    const QDateTime& now, const std::optional<QByteArray>& timeOffsetCookie);

// The moment in local time with its offset from UTC, as ISO 8601 with milliseconds
// ("2024-05-01T14:06:39.250+02:00"), so that a stored time is never ambiguous and a note read back from a
// download lands on the frame it was stamped with, not up to a second early.
QString isoLocalTime(const QDateTime& moment);
