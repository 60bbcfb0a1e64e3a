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

}

void consoleLine(const QString& text)
{
    // One write(2) of the whole line, straight to the descriptor: nothing waits in a buffer, and a scan,
    // which writes thousands of lines, pays one system call per line and no allocation.
    thread_local QStringEncoder encoder(QStringEncoder::Utf8);
    thread_local QVarLengthArray<char, 1024> line;
    encoder.resetState(); // a line that ends inside a character must not spill into the next
    line.resize(encoder.requiredSpace(text.size()) + 1);
    char* end = encoder.appendToBuffer(line.data(), text);
    *end++ = '\n';
    writeOut(line.data(), end);
}

ConsoleBatch::~ConsoleBatch()
{
    flush();
}

void ConsoleBatch::line(const QString& text)
{
    pending.append(text.toUtf8()).append('\n');
    if (pending.size() >= flushBytes)
        flush();
}

void ConsoleBatch::flush()
{
    writeOut(pending.constData(), pending.constData() + pending.size());
    pending.clear();
}
