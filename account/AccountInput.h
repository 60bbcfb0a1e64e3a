#pragma once

#include <QString>

// What the logger typed into the preferences window, made ready to be saved.

// Blanks and line ends go from both ends (space, tab, the Unicode space, line and paragraph separators,
// U+000A to U+000D, U+0085). A name given as a mail link ("mailto:jsmith") loses every "mailto:" in it.
QString cleanedUsername(const QString& typed);

// Blanks and line ends go from both ends, as for the user name.
QString cleanedPassword(const QString& typed);
