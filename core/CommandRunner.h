#pragma once

#include "core/CommandResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

// Runs a tool by absolute path, without a shell, and returns what it wrote to its two streams. The
// optional standard input is written to the tool (used to keep secrets off its argument list); without it
// the tool inherits the application's standard input. The tool gets no other descriptor of the
// application.
//
// The run never outlasts `deadline`: a tool still running then is killed together with the processes it
// started in its own process group, and the error text names the tool and the time. A tool's background
// child that keeps the output streams open does not hold the run once the tool itself has ended. Of each
// stream, at most commandOutputLimit bytes (16 MiB) are kept; the error text says when more was dropped.
CommandResult runCommand(const QString& launchPath, const QStringList& arguments,
    std::chrono::milliseconds deadline, const std::optional<QByteArray>& standardInput = std::nullopt);

inline constexpr qsizetype commandOutputLimit = 16 * 1024 * 1024;
