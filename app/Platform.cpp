#include "app/Platform.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>

namespace Platform {

QString helperToolPath(const QString& toolName)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../libexec/") + toolName);
}

bool openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

QString runtimeFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

}
