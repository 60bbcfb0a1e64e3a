#include "core/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <filesystem>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {
    const QString bundleSuffix = QStringLiteral(".app");
    const QString pkexecTool = QStringLiteral("/usr/bin/pkexec");
    // pkexec's own exit statuses: the user dismissed the password request, or no one could authorise it.
    constexpr int pkexecDismissed = 126;
    constexpr int pkexecNotAuthorised = 127;
    std::function<bool(const QUrl&)> urlOpener;
    QString helperToolFolder;
}

QString helperToolPath(const QString& toolName)
{
    if (!helperToolFolder.isEmpty())
        return QDir(helperToolFolder).filePath(toolName);
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../libexec/") + toolName);
}

bool openUrl(const QUrl& url)
{
    if (urlOpener)
        return urlOpener(url);
    // xdg-open accepts every URL it can start for, so its answer says nothing about whether an
    // application handles the scheme (a mail URL with no mail client configured). Ask the desktop's
    // handler table first for schemes that are not the browser's own.
    static const QStringList browserSchemes { QStringLiteral("http"), QStringLiteral("https"),
        QStringLiteral("file") };
    if (!browserSchemes.contains(url.scheme())) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
            { QStringLiteral("query"), QStringLiteral("default"),
                QStringLiteral("x-scheme-handler/") + url.scheme() });
        if (!query.waitForFinished(5000) || query.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
    return QDesktopServices::openUrl(url);
}

void setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    urlOpener = std::move(opener);
}

void setHelperToolFolder(const QString& folder)
{
    helperToolFolder = folder;
}

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

QString translationsFolder()
{
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tapescribe/translations"));
}

std::optional<QString> bundlePath()
{
    const QDir executableFolder(QCoreApplication::applicationDirPath());
    if (executableFolder.dirName() != QLatin1String("bin"))
        return std::nullopt;
    const QString bundle = QFileInfo(executableFolder.absolutePath()).path();
    if (!bundle.endsWith(bundleSuffix))
        return std::nullopt;
    return bundle;
}

QString bundleExecutable(const QString& bundle)
{
    return bundle + QStringLiteral("/bin/tapescribe");
}

QString bundleXattrTool(const QString& bundle)
{
    return bundle + QStringLiteral("/libexec/tapescribe-xattr");
}

QStringList standardFolders(StandardFolder kind, FolderDomain domain)
{
    QStringList folders;
    const bool user = domain != FolderDomain::Local;
    const bool local = domain != FolderDomain::User;
    switch (kind) {
    case StandardFolder::Applications:
        // Bundles a user keeps for themself go in ~/Applications; bundles for everyone in /opt.
        if (user)
            folders.append(QDir::homePath() + QStringLiteral("/Applications"));
        if (local)
            folders.append(QStringLiteral("/opt"));
        break;
    case StandardFolder::Downloads:
        if (user)
            folders.append(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
        break;
    }
    return folders;
}

QStringList runningExecutables()
{
    QStringList executables;
    std::error_code error;
    const uid_t user = ::geteuid();
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        struct stat status;
        if (::stat(entry.path().c_str(), &status) != 0 || status.st_uid != user)
            continue;
        // Kernel threads, and processes that ended meanwhile, have no executable: they are not applications.
        std::error_code linkError;
        const std::filesystem::path executable
            = std::filesystem::read_symlink(entry.path() / "exe", linkError);
        if (!linkError)
            executables.append(QFile::decodeName(executable.c_str()));
    }
    return executables;
}

bool moveToTrash(const QString& path, QString& error)
{
    // Without the data folder, Qt would "trash" the item into the current directory and report success.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile item(path);
    if (item.moveToTrash())
        return true;
    error = item.errorString();
    return false;
}

AdministratorRun runAsAdministrator(const QString& commandLine)
{
    QProcess process;
    process.start(pkexecTool, { administratorShell(), QStringLiteral("-c"), commandLine });
    if (!process.waitForStarted(-1))
        return { std::nullopt, process.errorString() };
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit)
        return { std::nullopt, QStringLiteral("The administrator command was stopped") };
    switch (process.exitCode()) {
    case 0:
        return { QString::fromUtf8(process.readAllStandardOutput()), QString() };
    case pkexecDismissed:
        return { std::nullopt, QStringLiteral("The request for administrator rights was dismissed") };
    case pkexecNotAuthorised:
        return { std::nullopt, QStringLiteral("Not authorised, or no agent could ask for the password") };
    default:
        return { std::nullopt, QString::fromUtf8(process.readAllStandardError()).trimmed() };
    }
}

namespace {

    // Like a start from the desktop, the program is tied to no stream of this process: a reader of this
    // process's output that goes away with it would otherwise end the program the first time it writes.
    bool startDetached(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setWorkingDirectory(QDir::homePath());
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        return process.startDetached();
    }

}

bool openBundle(const QString& bundle)
{
    return startDetached(bundleExecutable(bundle), {});
}

bool startDetachedShell(const QString& commandLine)
{
    return startDetached(relaunchShell(), { QStringLiteral("-c"), commandLine });
}

void endProcess(int status)
{
    std::fflush(nullptr);
    ::_exit(status);
}

void returnFreeHeapPages()
{
    ::malloc_trim(0);
}

void limitHeapArenas()
{
    // glibc gives threads that meet in the heap heaps of their own, up to eight for each processor. The
    // player's decoder threads, the metadata readers and the web engine's threads each leave their own
    // heap with free space between blocks still in use, which no trim can return: switching clips for
    // minutes kept ~470 MiB resident, swinging by 100 MiB with whatever the last clip left behind. Two
    // heaps kept ~330 MiB, steady, and the scan, the metadata reads and the player ran as fast.
    constexpr int heaps = 2;
    ::mallopt(M_ARENA_MAX, heaps);
}

void yieldToOtherThreads()
{
    // Linux keeps a niceness for each thread; QThread's priorities change nothing under the default
    // scheduling policy. Ten steps nicer weighs the thread about a tenth of a normal one.
    constexpr int niceness = 10;
    ::setpriority(PRIO_PROCESS, ::gettid(), niceness);
}

}
