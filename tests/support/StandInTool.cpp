#include "support/StandInTool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool writeStandInTool(const QString& path, const QString& body)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write(QStringLiteral("#!/bin/sh\n%1\n").arg(body).toUtf8());
    script.close();
    return script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
