#pragma once

#include "core/CommandResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
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

// A run blocks its caller; a window that the caller draws must not look dead meanwhile. Once a run has
// waited for commandWaitNoticed, the runner calls the wait observer on the calling thread (Began), then
// about every commandWaitSlice until the tool has ended (Continues), and once more after it (Ended). Runs
// that end sooner never call it. Without an observer, a run simply blocks.
enum class CommandWait { Began, Continues, Ended };
using CommandWaitObserver = std::function<void(CommandWait)>;
void setCommandWaitObserver(CommandWaitObserver observer);

inline constexpr std::chrono::milliseconds commandWaitNoticed { 100 };
inline constexpr std::chrono::milliseconds commandWaitSlice { 30 };
