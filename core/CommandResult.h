#pragma once

#include <QString>

// What a tool wrote to its standard output and standard error, in that order.
struct CommandResult {
    QString output;
    QString error;

    bool operator==(const CommandResult&) const = default;
};
