#pragma once

#include <QByteArray>
#include <QString>

// Tool output decoded as 7-bit ASCII. A byte outside ASCII cannot be decoded; it becomes U+FFFD, the
// replacement character, so that the rest of the text survives.
QString asciiText(const QByteArray& bytes);
