#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

class QUrl;

// Every path, tool and system service that tapeScribe reaches on this platform is named here and only
// here, so that another platform changes this module alone.
namespace Platform {

// A helper tool that ships with tapeScribe, found beside the executable (libexec/ of the bundle or of the
// build tree), never through PATH.
QString helperToolPath(const QString& toolName);

inline QString xattrTool() { return helperToolPath(QStringLiteral("tapescribe-xattr")); }
inline QString securityTool() { return helperToolPath(QStringLiteral("tapescribe-security")); }

// How long one run of each helper tool may take before it is stopped. An attribute on a network mount
// that hangs, or a keyring service that never answers, must not hold the window for longer; both
// tools answer within milliseconds when all is well.
inline constexpr std::chrono::seconds xattrToolDeadline { 5 };
inline constexpr std::chrono::seconds securityToolDeadline { 10 };

// Hands a URL to the desktop's default application for it; false when nothing accepted it.
bool openUrl(const QUrl& url);

// Seams for tests. While an opener is set, openUrl hands it every URL and returns its answer instead of
// the desktop's; while a folder is set, helper tools are taken from it. Empty values restore the defaults.
void setUrlOpener(std::function<bool(const QUrl&)> opener);
void setHelperToolFolder(const QString& folder);

// Where tapeScribe keeps per-user runtime files (the single-instance socket).
QString runtimeFolder();

// tapeScribe's own data (translations), in share/ beside the executable's folder.
QString translationsFolder();

// The bundle the running executable belongs to: the folder above its bin/ folder when that folder's name
// ends in ".app". A build tree or a system-wide install is not a bundle and gives none.
std::optional<QString> bundlePath();
// The executable and the extended-attribute tool inside a bundle.
QString bundleExecutable(const QString& bundle);
QString bundleXattrTool(const QString& bundle);

// The standard folders that applications are installed into or downloaded into, for the user alone, for
// the whole machine, or both, in that order.
enum class StandardFolder { Applications, Downloads };
enum class FolderDomain { User, Local, All };
QStringList standardFolders(StandardFolder kind, FolderDomain domain);

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

// Makes the calling thread give way to the application's other threads when processors are scarce: a
// background worker calls it so that the main thread, which draws the window, keeps its share.
void yieldToOtherThreads();

// Hands the free pages inside the heaps back to the system; what freeing alone leaves with the process.
void returnFreeHeapPages();

// Keeps the process's threads to a couple of heaps. Called once, before any thread starts.
void limitHeapArenas();

// Ends the process at once with `status`, without running the application's termination steps.
[[noreturn]] void endProcess(int status);

}
