#pragma once

#include "logservice/StoredNote.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The notes as the program reads them, in the order given:
//   {"notes":[{"id":12,"recorded_at":"2026-12-07T14:03:22.000+01:00",
//              "written_at":"2026-12-07T16:10:05.000+01:00","text":"the boom dips into frame"}]}
// Times are in local time with their offset from UTC; "recorded_at" is null for a note written without a
// clip. The characters of HTML markup are written as \u escapes, so that no browser takes the body for a
// page, whatever a logger typed.
QByteArray notesJson(const QList<StoredNote>& notes);

// {"error":"<message>"}, for answers that carry no notes.
QByteArray jsonError(const QString& message);

// The moment (of the years 0 to 9999) in its own offset from UTC, ISO 8601 with milliseconds and an
// explicit offset, "+00:00" rather than "Z", so that every time in the body has the same form:
// "2026-12-07T14:03:22.000+01:00".
QString isoTimeWithMilliseconds(const QDateTime& moment);
