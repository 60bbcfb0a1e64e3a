#include "ConsoleCapture.h"

#include <cstdio>

#include <unistd.h>

ConsoleCapture::ConsoleCapture()
{
    file.open();
    std::fflush(stdout);
    savedOutput = ::dup(STDOUT_FILENO);
    ::dup2(int(file.handle()), STDOUT_FILENO);
}

ConsoleCapture::~ConsoleCapture()
{
    std::fflush(stdout);
    ::dup2(savedOutput, STDOUT_FILENO);
    ::close(savedOutput);
    // What was captured (the test framework's own failure reports among it) still reaches the log.
    QFile reader(file.fileName());
    reader.open(QIODevice::ReadOnly);
    const QByteArray text = reader.readAll();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

QStringList ConsoleCapture::lines() const
{
    std::fflush(stdout);
    QFile reader(file.fileName());
    reader.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(reader.readAll());
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}
