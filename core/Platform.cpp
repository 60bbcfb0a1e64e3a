#include "core/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <sys/resource.h>
#include <unistd.h>

namespace Platform {

namespace {
    std::function<bool(const QUrl&)> urlOpener;
    QString helperToolFolder;
    QString moduleFolder;

    // `name` in the bundle's `folder` (a path relative to the bundle's top, beside bin/), or in the test's
    // own folder while one is set.
    QString inBundle(const QString& testFolder, const QString& folder, const QString& name)
    {
        if (!testFolder.isEmpty())
            return QDir(testFolder).filePath(name);
        return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + folder
            + QLatin1Char('/') + name);
    }
}

QString helperToolPath(const QString& toolName)
{
    return inBundle(helperToolFolder, QStringLiteral("libexec"), toolName);
}

QString modulePath(const QString& fileName)
{
    return inBundle(moduleFolder, QStringLiteral("lib/tapescribe"), fileName);
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

void setModuleFolder(const QString& folder)
{
    moduleFolder = folder;
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

void yieldToOtherThreads()
{
    // Linux keeps a niceness for each thread; QThread's priorities change nothing under the default
    // scheduling policy. Ten steps nicer weighs the thread about a tenth of a normal one.
    constexpr int niceness = 10;
    ::setpriority(PRIO_PROCESS, ::gettid(), niceness);
}

}
