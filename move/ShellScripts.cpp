#include "move/ShellScripts.h"

#include "move/MovePlatform.h"

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

QString installScript()
{
    // The staging folder lies beside the destination, so that the last steps are renames on one file system
    // ("${folder:-/}": a destination right under "/" has no folder part left). Should the new copy not take
    // the old one's place, the old one goes back.
    return QStringLiteral("folder=${2%/*}\n"
                          "staging=$(%1 -d \"${folder:-/}/.tapescribe-install.XXXXXX\") || exit 1\n"
                          "fail() { %2 -rf -- \"$staging\"; exit 1; }\n"
                          "%3 -R --preserve=mode,timestamps -- \"$1\" \"$staging/new\" || fail\n"
                          "%4 -R go-w,ug-s -- \"$staging/new\" || fail\n"
                          "if [ -e \"$2\" ] || [ -L \"$2\" ]; then %5 -- \"$2\" \"$staging/old\" || fail; fi\n"
                          "if ! %5 -- \"$staging/new\" \"$2\"; then\n"
                          "    [ -e \"$staging/old\" ] && %5 -- \"$staging/old\" \"$2\"\n"
                          "    fail\n"
                          "fi\n"
                          "%2 -rf -- \"$staging\"\n")
        .arg(shellQuoted(MovePlatform::temporaryFolderTool()), shellQuoted(MovePlatform::removeTool()),
            shellQuoted(MovePlatform::copyTool()), shellQuoted(MovePlatform::modeTool()),
            shellQuoted(MovePlatform::moveTool()));
}

QString relaunchScript(qint64 processId, const QString& bundle)
{
    const QString quarantineCommand
        = QStringLiteral("%1 -d -r com.apple.quarantine %2")
              .arg(shellQuoted(MovePlatform::bundleXattrTool(bundle)), shellQuoted(bundle));
    return QStringLiteral("(while %1 -0 %2 >&/dev/null; do %3 0.1; done; %4; %5) &")
        .arg(MovePlatform::killTool(), QString::number(processId), MovePlatform::sleepTool(), quarantineCommand,
            shellQuoted(MovePlatform::bundleExecutable(bundle)));
}
