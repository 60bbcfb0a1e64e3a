#include "move/MovePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace MovePlatform {

namespace {
    const QString bundleSuffix = QStringLiteral(".app");
    const QString pkexecTool = QStringLiteral("/usr/bin/pkexec");
    // pkexec's own exit statuses: the user dismissed the password request, or no one could authorise it.
    constexpr int pkexecDismissed = 126;
    constexpr int pkexecNotAuthorised = 127;
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

}
