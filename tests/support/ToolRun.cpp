#include "support/ToolRun.h"

#include <QProcess>

namespace {
constexpr int runLimitMs = 600'000;
}

ToolRun runTool(
    const QString& program, const QStringList& arguments, const QByteArray& input, ToolStreams streams)
{
    QProcess tool;
    if (streams == ToolStreams::Merged)
        tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!input.isEmpty())
        tool.write(input);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(runLimitMs) || tool.exitStatus() != QProcess::NormalExit)
        return { -1, tool.readAllStandardOutput(), tool.readAllStandardError() };
    return { tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError() };
}
