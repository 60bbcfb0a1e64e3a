#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a program run to its end wrote, and how it ended.
struct ToolRun
{
    int status = -1; // its exit status; -1 when it crashed or did not finish within the limit
    QByteArray output;
    QByteArray error;
};

// Whether the program's standard error is kept apart or joins its standard output (in the order written).
enum class ToolStreams { Separate, Merged };

// Runs `program` (a path, or a name found through PATH) with `input` on its standard input. The limit is
// far above any tool's own: a run that reaches it hung.
ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input = {},
    ToolStreams streams = ToolStreams::Separate);
