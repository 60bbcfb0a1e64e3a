#include "app/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>

namespace Platform {

namespace {
std::function<bool(const QUrl&)> urlOpener;
QString helperToolFolder;
}

QString helperToolPath(const QString& toolName)
{
    if (!helperToolFolder.isEmpty())
        return QDir(helperToolFolder).filePath(toolName);
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../libexec/") + toolName);
}

bool openUrl(const QUrl& url)
{
    return urlOpener ? urlOpener(url) : QDesktopServices::openUrl(url);
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

}
