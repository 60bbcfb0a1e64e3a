#include "move/ShellScripts.h"

#include "core/Platform.h"

QString shellQuoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QStringLiteral("'%1'").arg(escaped);
}

QString administratorCommandLine(const QString& tool, const QStringList& arguments)
{
    QStringList words { shellQuoted(tool) };
    for (const QString& argument : arguments)
        words.append(shellQuoted(argument));
    return words.join(QLatin1Char(' '));
}

QString relaunchScript(qint64 processId, const QString& bundle)
{
    const QString quarantineCommand
        = QStringLiteral("%1 -d -r com.apple.quarantine %2")
              .arg(shellQuoted(Platform::bundleXattrTool(bundle)), shellQuoted(bundle));
    return QStringLiteral("(while %1 -0 %2 >&/dev/null; do %3 0.1; done; %4; %5) &")
        .arg(Platform::killTool(), QString::number(processId), Platform::sleepTool(), quarantineCommand,
            shellQuoted(Platform::bundleExecutable(bundle)));
}
