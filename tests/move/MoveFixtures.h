#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// A folder laid out like a tapeScribe bundle whose executable and extended-attribute tool are scripts:
// the executable writes `startedLine` (a shell word list, expanded when it runs) into `marker` and the
// tool writes its arguments into `marker`.xattr, one a line.
void makeFakeBundle(
    const QString& bundle, const QString& marker, const QString& startedLine = QStringLiteral("\"$0\""));

// The lines the application writes to standard output while it is alive.
class ConsoleCapture
{
public:
    ConsoleCapture();
    ~ConsoleCapture();
    QStringList lines();

private:
    int savedOutput = -1;
    QString path;
};

// Lets the tests' failure messages show texts.
void PrintTo(const QString& text, std::ostream* stream);
