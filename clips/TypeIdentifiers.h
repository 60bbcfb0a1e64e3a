#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Uniform type identifiers of files, derived from their names, and the list of those tapeScribe can play.
namespace TypeIdentifiers {

// What kind of file system entry a name belongs to: only regular files are typed by their extension.
enum class EntryKind { RegularFile, Folder, Other };

// The identifier of an entry: a regular file's comes from its extension, compared case-insensitively
// (camera cards write ".MXF", ".MOV", ".MP4"); one with no known extension is plain data. The text is
// static: a scan asks this for every entry, without making a string each time.
QStringView typeIdentifier(QStringView fileName, EntryKind kind);

// The FFmpeg demuxer that alone may read the file at `path` (or of that name), by the short name FFmpeg
// finds it by ("mov" for QuickTime and MPEG-4, "mxf", "matroska"): a file is opened only as the kind
// of clip its name says. Nothing for a name of no audiovisual type.
std::optional<QByteArray> demuxerName(QStringView path);

// The accepted type list: "org.smpte.mxf" first, then every audiovisual identifier whose container one
// of `demuxers` (FFmpeg demuxer names, as the player lists them) opens, in the table's order.
QStringList playableTypes(const QStringList& demuxers);

// File-name patterns for an open dialog that match every extension of `types` in any letter case.
QStringList nameFilterPatterns(const QStringList& types);

}
