#pragma once

#include <QString>

#include <ostream>

// Failures show texts as text, not as a list of UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
