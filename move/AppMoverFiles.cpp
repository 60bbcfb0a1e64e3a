#include "move/AppMover.h"

#include "core/Console.h"
#include "move/MoveRules.h"
#include "move/ShellScripts.h"

#include <algorithm>

AppMover::InstallFolder AppMover::installFolder() const
{
    const QStringList userFolders
        = Platform::standardFolders(Platform::StandardFolder::Applications, Platform::FolderDomain::User);
    // The user's own folder is chosen only once it holds an application: an empty or absent one is
    // nothing the user has started to use.
    if (!userFolders.isEmpty() && fileManager.fileExistsAtPath(userFolders.first())) {
        const QStringList entries
            = fileManager.contentsOfDirectoryAtPath(userFolders.first()).value_or(QStringList());
        if (holdsApplicationBundle(entries))
            return { userFolders.first(), true };
    }
    const QStringList localFolders
        = Platform::standardFolders(Platform::StandardFolder::Applications, Platform::FolderDomain::Local);
    if (localFolders.isEmpty())
        return {};
    return { localFolders.last(), false };
}

bool AppMover::isInsideSearchPathFolder(
    const QString& path, Platform::StandardFolder kind, const std::optional<QString>& componentName) const
{
    return liesInsideFolders(
        path, Platform::standardFolders(kind, Platform::FolderDomain::All), componentName);
}

bool AppMover::isInsideApplicationsFolder(const QString& path) const
{
    return isInsideSearchPathFolder(
        path, Platform::StandardFolder::Applications, QStringLiteral("Applications"));
}

bool AppMover::isInsideDownloadsFolder(const QString& path) const
{
    return isInsideSearchPathFolder(path, Platform::StandardFolder::Downloads, std::nullopt);
}

bool AppMover::isBundleRunning(const QString& bundlePath) const
{
    const QStringList executables = MovePlatform::runningExecutables();
    return std::ranges::any_of(
        executables, [&](const QString& executable) { return executable.startsWith(bundlePath); });
}

bool AppMover::moveToTrash(const QString& path)
{
    const std::optional<FileError> error = fileManager.trashItemAtPath(path);
    if (!error)
        return true;
    consoleLine(QStringLiteral("Ooops! Something went wrong: ") + error->description);
    consoleLine(QStringLiteral("ERROR -- Could not trash ") + path);
    return false;
}

bool AppMover::removeOrTrash(const QString& path)
{
    const std::optional<FileError> error = fileManager.removeItemAtPath(path);
    if (!error)
        return true;
    consoleLine(
        QStringLiteral("WARNING -- Could not delete '%1': %2").arg(path, error->localizedDescription));
    showErrorAlert(*error);
    return moveToTrash(path);
}

bool AppMover::copyBundleFiles(const QString& source, const QString& destination)
{
    const std::optional<FileError> error = fileManager.copyItemAtPath(source, destination);
    if (!error)
        return true;
    consoleLine(QStringLiteral("ERROR -- Could not copy '%1' to '%2' (%3)")
                    .arg(source, destination, error->localizedDescription));
    showErrorAlert(*error);
    return false;
}

bool AppMover::installWithAdministratorRights(const QString& source, const QString& destination)
{
    // Refused before anyone is asked for a password: only a bundle may be replaced, and an empty path would
    // make the removal reach far wider than one bundle.
    if (!destination.endsWith(QLatin1String(".app")) || trimmedOfBlanks(destination).isEmpty()
        || trimmedOfBlanks(source).isEmpty())
        return false;
    // One command, so one password prompt: a cancel, or a failure anywhere, leaves the old bundle in place.
    return runAsAdministrator(MovePlatform::administratorShell(),
        { QStringLiteral("-c"), installScript(), QStringLiteral("sh"), source, destination })
        .has_value();
}
