#pragma once

#include <QStringList>
#include <QTemporaryFile>

// Collects the application's console lines (its standard output) while it lives.
class ConsoleCapture
{
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    // Every line written so far, in order.
    QStringList lines() const;

private:
    QTemporaryFile file;
    int savedOutput = -1;
};
