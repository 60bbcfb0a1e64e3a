#include "logform/FormDownload.h"

#include <QDir>
#include <QFileInfo>

QString FormDownload::proposedPath(const QString& downloadsFolder, const QString& suggestedName)
{
    QString name = QFileInfo(QString(suggestedName).replace(u'\\', u'/')).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("download");
    return QDir(downloadsFolder).filePath(name);
}

QString FormDownload::saving(const QString& path)
{
    return tr("Saving “%1”…").arg(QDir::toNativeSeparators(path));
}

QString FormDownload::saved(const QString& path)
{
    return tr("Saved “%1”.").arg(QDir::toNativeSeparators(path));
}

QString FormDownload::failed(const QString& path, const QString& reason)
{
    return tr("“%1” could not be saved: %2").arg(QDir::toNativeSeparators(path), reason);
}
