#include "logservice/CommandLine.h"
#include "logservice/Commands.h"
#include "logservice/OutputLine.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    // Without TZ, the C library looks at /etc/localtime again for every local time it works out, and the log
    // form shows hundreds of them: reading the zone once makes a page several times cheaper. A change of the
    // machine's time zone then reaches the service when it is restarted.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
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
