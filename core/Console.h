#pragma once

#include <QString>

// Writes one diagnostic line to standard output at once, in a single write with no buffer in between, so
// that a process reading the application's output loses nothing when the application is stopped.
void consoleLine(const QString& text);
