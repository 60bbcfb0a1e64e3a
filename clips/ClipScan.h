#pragma once

#include "clips/Clip.h"
#include "clips/RecordingStart.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Turns a chosen folder, or a chosen single file, into clip records: every entry whose type identifier is
// one of the accepted types becomes one record, in listing order, whatever dates its file system keeps.
// Its "created" is the file's birth time, or its modification time where there is no believable birth
// time; the clip's own recording date replaces it once its metadata has been read (RecordingStart).
// Folders are not descended into, and no entry is ever opened (a FIFO named like a clip cannot stall the
// scan): the listing, and one statx() for each entry whose kind or dates the listing does not give, is
// all a scan costs.
namespace ClipScan {

using ConsoleSink = std::function<void(const QString&)>;

struct Outcome
{
    QList<Clip> clips;
    // Why the chosen folder could not be listed; the scan then ends with no clips.
    std::optional<QString> listingFailure;
};

// `chosenPath` is absolute and has no trailing separator (except the root folder, "/"). Every step
// writes its diagnostic line to `console` as it happens.
Outcome scan(const QString& chosenPath, const QStringList& acceptedTypes, const ConsoleSink& console);

// The console renderings of the accepted type list and of the clip list: one line each, with names
// quoted and escaped so that a name holding quotes or line breaks cannot break the line.
QString describeTypes(const QStringList& types);
QString describeClips(const QList<Clip>& clips);

}
