#include "logservice/OutputLine.h"

#include <cstdio>

namespace {

void writeLine(std::FILE* stream, const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
    std::fflush(stream);
}

}

void writeOutputLine(const QString& text)
{
    writeLine(stdout, text);
}

void writeErrorLine(const QString& text)
{
    writeLine(stderr, text);
}
