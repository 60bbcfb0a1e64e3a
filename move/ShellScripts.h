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

// The administrator's install of a bundle, as a script for `sh -c SCRIPT sh SOURCE DESTINATION`, so that the
// two paths reach it as its arguments and never as part of its text. It copies first and replaces last: the
// copy is made beside the destination, in a hidden folder of its own; only once it is complete does the
// old bundle make way for it, and any failure before that leaves the old bundle as it was. The copy belongs
// to whoever runs the script (root), not to the user whose bundle it copies, and nobody else may write to
// it or run it with its owner's rights.
QString installScript();

// What relaunches a moved bundle: in the background, wait while the process `processId` still exists,
// clear the quarantine mark from the bundle with its own extended-attribute tool, then start its
// executable. The redirection `>&` sends both output streams of the test to /dev/null in bash, the shell
// that runs this script.
QString relaunchScript(qint64 processId, const QString& bundle);
