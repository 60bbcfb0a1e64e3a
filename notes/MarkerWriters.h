#pragma once

#include "notes/MarkerFormat.h"
#include "notes/NoteMatching.h"

#include <QByteArray>
#include <QString>

// The plan's markers as a file in `format` (UTF-8), under `title`: the event's or bin's name, usually the
// folder's (ALE and CSV have no place for it). Clips that can carry no markers (see ClipMarkers) are left out of the editors' formats, as the
// plan's problems say; the CSV lists every marker and, after them, every unplaced note.
QByteArray writeMarkers(MarkerFormat format, const MarkerPlan& plan, const QString& title);
