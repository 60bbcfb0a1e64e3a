#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace TestEnvironment {

QString buildDirectory()
{
    return qEnvironmentVariable("TAPESCRIBE_BUILD_DIR");
}

QString sourceDirectory()
{
    return qEnvironmentVariable("TAPESCRIBE_SOURCE_DIR");
}

QString builtProgram(const QString& name)
{
    for (const char* folder : { "/bin/", "/libexec/" }) {
        const QString path = buildDirectory() + QLatin1String(folder) + name;
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return {};
}

std::optional<QString> outsidePrivateSession()
{
    if (qEnvironmentVariable("TAPESCRIBE_DESKTOP_SESSION") != u"1"_s)
        return u"TAPESCRIBE_DESKTOP_SESSION is not set: run the tests through scripts/test.sh"_s;
    const QString homeSetting = qEnvironmentVariable("HOME");
    const QFileInfo home(homeSetting);
    const QString folder = home.canonicalFilePath();
    if (folder.isEmpty() || !home.isDir())
        return u"HOME (%1) is no folder"_s.arg(homeSetting);
    const QString temporary = QDir(QDir::tempPath()).canonicalPath() + u'/';
    if (!folder.startsWith(temporary))
        return u"HOME (%1) lies outside the temporary folder %2"_s.arg(folder, temporary);
    if (const passwd* account = ::getpwuid(::getuid());
        account && QFileInfo(QFile::decodeName(account->pw_dir)).canonicalFilePath() == folder)
        return u"HOME (%1) is the account's own home folder"_s.arg(folder);
    constexpr QFile::Permissions shared = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
        | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    if (home.ownerId() != ::getuid() || (home.permissions() & shared))
        return u"HOME (%1) is not private to this account"_s.arg(folder);
    return std::nullopt;
}

}
