#pragma once

#include "logservice/Note.h"

#include <QByteArray>
#include <QList>

// The notes as CSV (RFC 4180: CRLF line ends, quoted when needed), under the header row
// "recorded_at,written_at,text". Times are ISO 8601 in local time with their offset; a note without a
// recording time has an empty first cell. A text that starts with = + - or @ gets a leading apostrophe, so a
// spreadsheet shows it instead of running it as a formula.
QByteArray notesCsv(const QList<Note>& notes);
