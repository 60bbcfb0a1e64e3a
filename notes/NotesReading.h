#pragma once

#include "notes/LogNote.h"

#include <QByteArrayView>
#include <QStringList>

#include <optional>
#include <vector>

// The notes read from one of the log service's downloads, and what was odd about it: one human-readable
// line for every row that was skipped or read with something left out ("row 7: the recording time
// 'garbage' is not a time"). A note is never dropped for a bad time: it is kept without that time.
struct NotesReading
{
    std::vector<LogNote> notes;
    QStringList problems;
};

// The service's JSON: {"notes":[{"id":12,"recorded_at":"2026-12-07T14:03:22.000+01:00",
// "written_at":"...","text":"..."}]}, "recorded_at" null for a note written without a clip. Nothing when
// the document is not such an object at all.
std::optional<NotesReading> readNotesJson(QByteArrayView json);

// The service's CSV download (RFC 4180, UTF-8 with or without a byte order mark, CRLF or LF): a header
// row naming the columns recorded_at, written_at and text in any order, among any others (an "id" column
// gives the notes' ids; without one they are numbered in row order from 1). Rows are counted as a
// spreadsheet counts them, the header being row 1. The apostrophe the service puts before a text that
// starts with = + - or @ is taken off again. Nothing when the first row has no "text" column.
std::optional<NotesReading> readNotesCsv(QByteArrayView csv);
