#include "notes/NoteCells.h"

#include "notes/NoteTime.h"

namespace NoteCells {

void readRecordedAt(LogNote& note, QStringView cell, const QString& row, QStringList& problems)
{
    if (cell.trimmed().isEmpty())
        return;
    const auto reading = NoteTime::parse(cell);
    if (!reading) {
        problems.append(QStringLiteral("%1: the recording time '%2' is not a time; the note is kept without it")
                            .arg(row, cell));
        return;
    }
    note.recordedAt = reading->moment;
    note.recordedAtAssumedLocal = reading->assumedLocal;
    if (reading->assumedLocal)
        problems.append(
            QStringLiteral("%1: the recording time '%2' has no offset from UTC; taken as local time").arg(row, cell));
}

void readWrittenAt(LogNote& note, QStringView cell, const QString& row, QStringList& problems)
{
    const auto reading = NoteTime::parse(cell);
    if (reading)
        note.writtenAt = reading->moment;
    else
        problems.append(QStringLiteral("%1: the writing time '%2' is not a time").arg(row, cell));
}

}
