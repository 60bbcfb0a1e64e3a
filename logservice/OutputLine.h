#pragma once

#include <QString>

// The service's lines on standard output: one line each, flushed at once, because the run script and the
// tests read them while the service runs.
void writeOutputLine(const QString& text);

// A message for the person running a command, on standard error.
void writeErrorLine(const QString& text);
