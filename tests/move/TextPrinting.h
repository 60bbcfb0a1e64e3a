#pragma once

#include <QString>

#include <ostream>

// Lets the tests' failure messages show texts.
inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}
