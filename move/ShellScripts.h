#pragma once

#include <QString>
#include <QStringList>

// The two shell command lines of the move, built as text. Every path in them is one single-quoted word,
// so that nothing a path holds (blanks, quotes, `$(…)`, back-quotes, line breaks) is ever read by the shell
// as anything but its own characters.

// The text as one word of a POSIX shell command line: in single quotes, each single quote inside written
// as '\'' (close the quotes, an escaped quote, open them again).
QString shellQuoted(const QString& text);

// A tool and its arguments as one command line, each a quoted word, joined by single blanks.
QString administratorCommandLine(const QString& tool, const QStringList& arguments);

// What relaunches a moved bundle: in the background, wait while the process `processId` still exists,
// clear the quarantine mark from the bundle with its own extended-attribute tool, then start its
// executable. The redirection `>&` sends both output streams of the test to /dev/null in bash, the shell
// that runs this script.
QString relaunchScript(qint64 processId, const QString& bundle);
