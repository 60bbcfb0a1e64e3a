#pragma once

#include "core/CommandResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Runs a tool by absolute path, without a shell, and returns what it wrote to its two streams. The
// optional standard input is written to the tool (used to keep secrets off its argument list); without it
// the tool inherits the application's standard input.
CommandResult runCommand(const QString& launchPath, const QStringList& arguments,
                         const std::optional<QByteArray>& standardInput = std::nullopt);
