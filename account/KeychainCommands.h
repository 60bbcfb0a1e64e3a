#pragma once

#include <QString>
#include <QStringList>

// The keyring tool's command lines for the account item.
namespace KeychainCommands {

// The item's service attribute.
inline const QString serviceName = QStringLiteral("Fernwright account details");

QStringList findArguments();
QStringList deleteArguments();
// Ends with "-w": the password goes on the tool's standard input, never into an argument list, which
// every local user can read.
QStringList addArguments(const QString& username);

}
