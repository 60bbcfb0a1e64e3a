#pragma once

#include <QString>

#include <optional>

// Where the tests find what the build made, and whether they may touch an account.
namespace TestEnvironment {

// The build tree's root (bin/ holds tapescribe, libexec/ the helper tools).
QString buildDirectory();
// The source tree's root.
QString sourceDirectory();
// A program the build made: bin/NAME or libexec/NAME.
QString builtProgram(const QString& name);

// Why a test that uses the keyring, the settings or the home folder must not run here: outside the
// private session of scripts/desktop-session.sh, or with a HOME that is not a private temporary folder
// (the user's own, say). Nothing when it may.
std::optional<QString> outsidePrivateSession();

}
