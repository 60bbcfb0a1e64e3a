#pragma once

#include <QString>

// Where the tests find what the build made.
namespace TestEnvironment {

// The build tree's root (bin/ holds tapescribe, libexec/ the helper tools).
QString buildDirectory();
// The source tree's root.
QString sourceDirectory();
// A program the build made: bin/NAME or libexec/NAME.
QString builtProgram(const QString& name);

}
