#pragma once

#include <QString>

// Writes one diagnostic line to standard output and flushes it at once, so that a process reading the
// application's output loses nothing when the application is stopped.
void consoleLine(const QString& text);
