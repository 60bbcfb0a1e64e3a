#pragma once

#include "notes/LogNote.h"

#include <QString>
#include <QStringList>
#include <QStringView>

// The time cells both readers of the service's downloads share. `row` names the row in a problem
// ("row 7", "note 3").
namespace NoteCells {

// An empty cell is a note without a recording time; a cell that is no time too, and that is reported.
void readRecordedAt(LogNote& note, QStringView cell, const QString& row, QStringList& problems);
// A cell that is no time leaves the note's writing time invalid, and that is reported.
void readWrittenAt(LogNote& note, QStringView cell, const QString& row, QStringList& problems);

}
