#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the move into an Applications folder needs of this platform: where a bundle stands, which processes
// run, the Trash, the administrator's rights and the tools of the relaunch. Only the move uses them, so
// they live beside it rather than in core/.
namespace MovePlatform {

// The bundle the running executable belongs to: the folder above its bin/ folder when that folder's name
// ends in ".app". A build tree or a system-wide install is not a bundle and gives none.
std::optional<QString> bundlePath();
// The executable and the extended-attribute tool inside a bundle.
QString bundleExecutable(const QString& bundle);
QString bundleXattrTool(const QString& bundle);

// The executables of the processes that run as the current user, one entry per process that has one.
QStringList runningExecutables();

// Moves a file or folder into the user's Trash; false, with the reason in `error`, when that fails.
bool moveToTrash(const QString& path, QString& error);

// The tools of the move's shell command lines. The relaunch script silences its wait with `>&`, which
// bash reads as both output streams and Debian's /bin/sh (dash) rejects as a syntax error, so bash runs it.
inline QString relaunchShell() { return QStringLiteral("/bin/bash"); }
inline QString administratorShell() { return QStringLiteral("/bin/sh"); }
inline QString killTool() { return QStringLiteral("/bin/kill"); }
inline QString sleepTool() { return QStringLiteral("/bin/sleep"); }
inline QString removeTool() { return QStringLiteral("/bin/rm"); }
inline QString copyTool() { return QStringLiteral("/bin/cp"); }
inline QString moveTool() { return QStringLiteral("/bin/mv"); }
inline QString modeTool() { return QStringLiteral("/bin/chmod"); }
inline QString temporaryFolderTool() { return QStringLiteral("/bin/mktemp"); }

// What a shell command line run with administrator rights gave: its standard output, or none when the
// rights were refused or the command failed, with the reason when one is known.
struct AdministratorRun
{
    std::optional<QString> output;
    QString error;
};

// Runs a shell command line as the administrator, after the system's policy agent has asked for the
// password (pkexec). The command line reaches the shell as one argument.
AdministratorRun runAsAdministrator(const QString& commandLine);

// Starts a bundle's executable, detached from this process and from its streams, as a start from the
// desktop does; a running tapeScribe is brought forward by that start handing over to it. False when it
// could not be started.
bool openBundle(const QString& bundle);

// Starts a shell command line in the background, detached from this process and from its streams.
bool startDetachedShell(const QString& commandLine);

// Ends the process at once with `status`, without running the application's termination steps.
[[noreturn]] void endProcess(int status);

}
