#include "core/CommandRunner.h"
#include "core/AsciiText.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

const QString shell = QStringLiteral("/bin/sh");

CommandResult runScript(const QString& script, const QStringList& arguments = {},
                        const std::optional<QByteArray>& input = std::nullopt)
{
    return runCommand(shell, QStringList { QStringLiteral("-c"), script, QStringLiteral("sh") } + arguments,
                                   input);
}

TEST(CommandRunner, ReturnsEachStreamExactlyAsWritten)
{
    EXPECT_EQ(runScript(QStringLiteral("printf 'abc\\n'")), (CommandResult { QStringLiteral("abc\n"), QString() }));
    EXPECT_EQ(runScript(QStringLiteral("printf '  only errors \\n\\n' >&2")),
              (CommandResult { QString(), QStringLiteral("  only errors \n\n") }));
    // The exit status is not part of the result: a failing tool's texts come back like any other.
    EXPECT_EQ(runScript(QStringLiteral("echo out; echo err >&2; exit 3")),
              (CommandResult { QStringLiteral("out\n"), QStringLiteral("err\n") }));
    EXPECT_EQ(runScript(QStringLiteral("exit 0")), CommandResult());
}

TEST(CommandRunner, PassesEveryArgumentUnchangedWithoutAShell)
{
    const QStringList arguments { QStringLiteral("two words"), QStringLiteral("'single'"), QStringLiteral("\"double\""),
                                  QStringLiteral("$HOME"), QStringLiteral("*"), QStringLiteral("; rm -rf /"),
                                  QStringLiteral("back\\slash"), QString(), QStringLiteral("line\nbreak") };
    const CommandResult result = runScript(QStringLiteral("for a; do printf '[%s]' \"$a\"; done"), arguments);
    QString expected;
    for (const QString& argument : arguments)
        expected += u'[' + argument + u']';
    EXPECT_EQ(result.output, expected);
}

TEST(CommandRunner, DrainsBothStreamsTogether)
{
    // 5 MB on standard error before anything on standard output: reading one stream to its end before
    // the other would leave the tool blocked on a full pipe for ever.
    const CommandResult result = runScript(QStringLiteral("head -c 5000000 /dev/zero | tr '\\0' e >&2; echo done"));
    EXPECT_EQ(result.output, QStringLiteral("done\n"));
    ASSERT_EQ(result.error.size(), 5000000);
    EXPECT_EQ(result.error.count(u'e'), 5000000);
}

TEST(CommandRunner, ReplacesBytesOutsideAscii)
{
    const CommandResult result = runScript(QStringLiteral("printf 'caf\\303\\251\\n'; printf '\\377\\000x' >&2"));
    EXPECT_EQ(result.output, QStringLiteral("caf\uFFFD\uFFFD\n"));
    EXPECT_EQ(result.error, QString(QStringLiteral("\uFFFD")) + QChar(0) + u'x');
    EXPECT_EQ(asciiText(QByteArray()), QString());
}

TEST(CommandRunner, ToolThatCannotStartGivesTwoTextsNamingThePath)
{
    QTemporaryDir folder;
    const QString notExecutable = folder.filePath(QStringLiteral("plain file"));
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho never\n");
    file.close();

    for (const QString& path : { folder.filePath(QStringLiteral("missing-tool")), notExecutable, folder.path() }) {
        const CommandResult result = runCommand(path, {});
        EXPECT_TRUE(result.output.isEmpty());
        EXPECT_TRUE(result.error.contains(path)) << result.error.toStdString();
    }
    // And the runner still works afterwards.
    EXPECT_EQ(runScript(QStringLiteral("echo ok")).output, QStringLiteral("ok\n"));
}

TEST(CommandRunner, FeedsStandardInputWhenGiven)
{
    EXPECT_EQ(runScript(QStringLiteral("cat"), {}, QByteArray("secret \"with\" quotes\nand lines")).output,
              QStringLiteral("secret \"with\" quotes\nand lines"));
    EXPECT_EQ(runScript(QStringLiteral("wc -c"), {}, QByteArray()).output.trimmed(), QStringLiteral("0"));

    // More than any pipe holds, echoed back while it is still being written.
    const QByteArray large(3 * 1024 * 1024, 'i');
    EXPECT_EQ(runScript(QStringLiteral("cat"), {}, large).output.size(), large.size());

    // A tool that exits without reading its input must not take the application down with SIGPIPE.
    EXPECT_EQ(runScript(QStringLiteral("echo gone"), {}, large).output, QStringLiteral("gone\n"));
}

}
