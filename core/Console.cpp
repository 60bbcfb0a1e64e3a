#include "core/Console.h"

#include <cstdio>

void consoleLine(const QString& text)
{
    // The line end goes after the text rather than onto a copy of it: a scan writes thousands of lines.
    const QByteArray line = text.toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
