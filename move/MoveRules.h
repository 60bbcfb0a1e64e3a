#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The rules by which the move reads paths, apart from any file system.

// Whether `path` lies in one of `folders`, by a plain text-prefix test (so /ApplicationsOld/App.app lies
// in /Applications), or, when `component` is given, has a path component exactly equal to it.
bool liesInsideFolders(
    const QString& path, const QStringList& folders, const std::optional<QString>& component);

// Whether a folder with these entry names already holds an application bundle (a name ending in ".app",
// compared case-sensitively).
bool holdsApplicationBundle(const QStringList& entryNames);

// The text without the blanks and tabs at either end; every kind of space counts as a blank, while line
// breaks are kept.
QString trimmedOfBlanks(const QString& text);
