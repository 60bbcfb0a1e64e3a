#include "support/Files.h"

#include <QFile>

namespace Files {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString text(const QString& path)
{
    return QString::fromUtf8(contents(path));
}

}
