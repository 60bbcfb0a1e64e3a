#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// The ISO 8601 times of the log service's notes, read and written to the millisecond.
namespace NoteTime {

struct Reading
{
    QDateTime moment;
    bool assumedLocal = false; // the text gave no offset from UTC: read as the local time
};

// "2026-12-07T14:03:22.000+01:00", "2026-12-07T13:03:22Z", "2026-12-07T14:03:22+0100", a space instead of
// the T, or no offset at all (local time). Nothing for anything else, a date alone included.
std::optional<Reading> parse(QStringView text);

// The moment with milliseconds and its own offset from UTC ("2026-12-07T14:03:22.120+01:00").
QString text(const QDateTime& moment);

}
