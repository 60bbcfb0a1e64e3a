#pragma once

#include <QByteArray>
#include <QString>

// Writes one diagnostic line to standard output at once, in a single write with no buffer in between, so
// that a process reading the application's output loses nothing when the application is stopped.
void consoleLine(const QString& text);

// The lines of one burst that holds the main thread (a folder scan writes one per entry), gathered and
// written in a few large writes: by the time the burst is over, every line has been written, in order, and
// nothing else could have written in between. Lines past `flushBytes` go out at once.
class ConsoleBatch
{
public:
    ConsoleBatch() = default;
    ConsoleBatch(const ConsoleBatch&) = delete;
    ConsoleBatch& operator=(const ConsoleBatch&) = delete;
    ~ConsoleBatch();

    void line(const QString& text);
    void flush();

private:
    static constexpr qsizetype flushBytes = 64 * 1024;
    QByteArray pending;
};
