#include "move/AppMover.h"

#include "core/Console.h"
#include "move/ShellScripts.h"

#include <QCoreApplication>

std::optional<QString> AppMover::runAsAdministrator(const QString& toolPath, const QStringList& arguments)
{
    // The command line is handed to the shell as one argument, never pasted into another quoted text, so
    // the quoting of each word is the only quoting there is.
    const MovePlatform::AdministratorRun run = administratorShell(administratorCommandLine(toolPath, arguments));
    if (run.output)
        return run.output;
    if (run.error.isEmpty())
        consoleLine(QStringLiteral("Error running process as administrator."));
    else
        consoleLine(QStringLiteral("Error running process as administrator: ") + run.error);
    return std::nullopt;
}

bool AppMover::scheduleRelaunch(const QString& destinationPath)
{
    if (startDetachedShell(relaunchScript(QCoreApplication::applicationPid(), destinationPath)))
        return true;
    consoleLine(QStringLiteral("ERROR -- Could not start the relaunch of ") + destinationPath);
    return false;
}
