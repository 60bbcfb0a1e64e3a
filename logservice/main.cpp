#include "logservice/CommandLine.h"
#include "logservice/Commands.h"
#include "logservice/OutputLine.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const auto command = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (!command) {
        writeErrorLine(usageText());
        return 2;
    }
    QFile standardInput;
    if (!standardInput.open(stdin, QIODevice::ReadOnly)) {
        writeErrorLine(QStringLiteral("tapescribe-logservice: cannot read standard input"));
        return 1;
    }
    return runCommand(*command, standardInput);
}
