#pragma once

#include <QString>

#include <optional>

// What a tool wrote to its standard output and standard error, in that order, and how its run ended.
struct CommandResult
{
    QString output;
    QString error;
    // The tool's exit status; none when it did not end by itself with one: it could not start, it was
    // stopped at its deadline, or a signal ended it.
    std::optional<int> exitStatus;
    // Whether the tool was stopped because it had not finished by its deadline.
    bool timedOut = false;

    bool operator==(const CommandResult&) const = default;
};
