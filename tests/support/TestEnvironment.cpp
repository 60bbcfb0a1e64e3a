#include "support/TestEnvironment.h"

#include <QFileInfo>

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

}
