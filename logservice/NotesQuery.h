#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// The id after which the notes are asked for, from the query of a notes request: "since=ID", where ID is a
// whole number of at least 0 in decimal digits; 0 when the query does not name one. Nothing when it is
// anything else (a sign, a fraction, an empty value, "since" named twice, a malformed query), so that a
// mistaken reader hears about it instead of getting every note again. A number too large for any id asks
// for nothing new.
std::optional<qint64> notesSince(const QByteArray& query);
