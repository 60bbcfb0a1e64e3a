#include "core/Console.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <cerrno>

#include <unistd.h>

namespace {

// Writes all of `bytes` to standard output, however many writes it takes. A closed or full output loses
// what is left; the application goes on.
void writeOut(const char* next, const char* end)
{
    while (next < end) {
        const ssize_t written = ::write(STDOUT_FILENO, next, size_t(end - next));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        next += written;
    }
}

// Stateless: a line that ends inside a character (a lone surrogate) ends with a replacement character
// instead of spilling into the next line.
QStringEncoder& lineEncoder()
{
    thread_local QStringEncoder encoder(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    return encoder;
}

// The room that appendLine() needs for `text`.
qsizetype lineSpace(QStringView text)
{
    return lineEncoder().requiredSpace(text.size()) + 1;
}

// Writes `text` in UTF-8 and a line end at `out`; returns where they end.
char* appendLine(char* out, QStringView text)
{
    char* end = lineEncoder().appendToBuffer(out, text);
    *end++ = '\n';
    return end;
}

}

void consoleLine(const QString& text)
{
    // One write(2) of the whole line, straight to the descriptor: nothing waits in a buffer, and a scan,
    // which writes thousands of lines, pays one system call per line and no allocation.
    thread_local QVarLengthArray<char, 1024> line;
    line.resize(lineSpace(text));
    writeOut(line.data(), appendLine(line.data(), text));
}

ConsoleBatch::~ConsoleBatch()
{
    flush();
}

void ConsoleBatch::line(const QString& text)
{
    // Encoded straight into the batch: a scan passes tens of thousands of lines through here.
    const qsizetype start = pending.size();
    pending.resize(start + lineSpace(text));
    pending.truncate(appendLine(pending.data() + start, text) - pending.constData());
    if (pending.size() >= flushBytes)
        flush();
}

void ConsoleBatch::flush()
{
    writeOut(pending.constData(), pending.constData() + pending.size());
    pending.resize(0); // keeps its room for the rest of the burst
}
