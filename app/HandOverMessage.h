#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

// What a second start of tapeScribe tells the running one over the local socket: the paths it was given,
// made absolute, as one line holding a JSON array of strings.
namespace HandOverMessage {

// The longest message read: a start with thousands of paths fits; a peer that never ends its line does not
// fill the memory.
constexpr qsizetype maximumSize = 8 * 1024 * 1024;

QByteArray encoded(const QStringList& absolutePaths);

// The paths of a received line; nothing when the line is not such an array. Elements that are not
// non-empty strings are left out.
std::optional<QStringList> paths(const QByteArray& line);

}
