#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

// The keyring tool's command lines for the account item.
namespace KeychainCommands {

// The item's service attribute.
inline const QString serviceName = QStringLiteral("Fernwright account details");

QStringList findArguments();
QStringList deleteArguments();
// Ends with "-w": the password goes on the tool's standard input, never into an argument list, which
// every local user can read.
QStringList addArguments(const QString& username);
// Unlocks the keyring new items go to, asking the user for its password when it is locked.
QStringList unlockArguments();

// An unlock waits on the user typing the keyring's password into the desktop's prompt; the run may take
// the user's time, up to this.
inline constexpr std::chrono::minutes unlockDeadline { 2 };

}
