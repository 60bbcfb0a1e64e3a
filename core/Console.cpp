#include "core/Console.h"

#include <QStringEncoder>
#include <QVarLengthArray>

#include <cerrno>

#include <unistd.h>

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
    const char* next = line.data();
    while (next < end) {
        const ssize_t written = ::write(STDOUT_FILENO, next, size_t(end - next));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // a closed or full output loses the line; the application goes on
        next += written;
    }
}
