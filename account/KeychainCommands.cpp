#include "account/KeychainCommands.h"

namespace KeychainCommands {

QStringList findArguments()
{
    return { QStringLiteral("find-generic-password"), QStringLiteral("-g"), QStringLiteral("-s"),
        serviceName };
}

QStringList deleteArguments()
{
    return { QStringLiteral("delete-generic-password"), QStringLiteral("-s"), serviceName };
}

QStringList addArguments(const QString& username)
{
    return { QStringLiteral("add-generic-password"), QStringLiteral("-a"), username, QStringLiteral("-s"),
        serviceName, QStringLiteral("-w") };
}

QStringList unlockArguments()
{
    return { QStringLiteral("unlock-keychain") };
}

}
