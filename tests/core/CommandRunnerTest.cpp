#include "core/CommandRunner.h"
#include "core/AsciiText.h"
#include "support/Processes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

const QString shell = u"/bin/sh"_s;
// Far beyond what any script here takes when the runner works: reaching it shows that a run was held.
constexpr auto generous = 60s;

CommandResult runScript(const QString& script, const QStringList& arguments = {},
    const std::optional<QByteArray>& input = std::nullopt, std::chrono::milliseconds deadline = generous)
{
    return runCommand(shell, QStringList { u"-c"_s, script, u"sh"_s } + arguments, deadline, input);
}

TEST(CommandRunner, ReturnsEachStreamExactlyAsWrittenAndHowTheToolEnded)
{
    const struct
    {
        QString script;
        CommandResult result;
    } rows[] = {
        { u"printf 'abc\\n'"_s, { u"abc\n"_s, QString(), 0 } },
        { u"printf '  only errors \\n\\n' >&2"_s, { QString(), u"  only errors \n\n"_s, 0 } },
        { u"echo out; echo err >&2; exit 3"_s, { u"out\n"_s, u"err\n"_s, 3 } },
        { u"exit 0"_s, { QString(), QString(), 0 } },
        // Ended by a signal, before its deadline: no status, and no time-out either.
        { u"echo before; kill -9 $$"_s, { u"before\n"_s, QString(), std::nullopt } },
    };
    for (const auto& [script, result] : rows)
        EXPECT_EQ(runScript(script), result) << script.toStdString();
}

TEST(CommandRunner, PassesEveryArgumentUnchangedWithoutAShell)
{
    const QStringList arguments { u"two words"_s, u"'single'"_s, u"\"double\""_s, u"$HOME"_s, u"*"_s,
        u"; rm -rf /"_s, u"back\\slash"_s, QString(), u"line\nbreak"_s };
    const CommandResult result = runScript(u"for a; do printf '[%s]' \"$a\"; done"_s, arguments);
    QString expected;
    for (const QString& argument : arguments)
        expected += u'[' + argument + u']';
    EXPECT_EQ(result.output, expected);
}

TEST(CommandRunner, DrainsBothStreamsTogether)
{
    // 5 MB on standard error before anything on standard output: reading one stream to its end before
    // the other would leave the tool blocked on a full pipe until its deadline.
    const CommandResult result = runScript(u"head -c 5000000 /dev/zero | tr '\\0' e >&2; echo done"_s);
    EXPECT_EQ(result.output, u"done\n"_s);
    ASSERT_EQ(result.error.size(), 5000000);
    EXPECT_EQ(result.error.count(u'e'), 5000000);
    EXPECT_FALSE(result.timedOut);
}

TEST(CommandRunner, KeepsSixteenMebibytesOfEachStreamAndSaysSo)
{
    const qsizetype limit = 16 * 1024 * 1024;
    const QString tooMuch = u"head -c %1 /dev/zero | tr '\\0' x"_s.arg(limit + 1);
    const CommandResult onOutput = runScript(tooMuch + u"; echo done >&2"_s);
    EXPECT_EQ(onOutput.output.size(), limit);
    EXPECT_EQ(onOutput.error,
        u"done\nrunCommand: /bin/sh wrote more than 16 MiB to its standard output; only the first 16 MiB were kept"_s);
    // The rest is read and dropped, so the tool runs to its end.
    EXPECT_EQ(onOutput.exitStatus, 0);

    const CommandResult onError = runScript(tooMuch + u" >&2"_s);
    EXPECT_EQ(onError.output, QString());
    EXPECT_TRUE(onError.error.startsWith(
        QString(limit, u'x') + u"\nrunCommand: /bin/sh wrote more than 16 MiB to its standard error"_s));

    const CommandResult exactly = runScript(u"head -c %1 /dev/zero"_s.arg(limit));
    EXPECT_EQ(exactly.output.size(), limit);
    EXPECT_EQ(exactly.error, QString());
}

TEST(CommandRunner, ReplacesBytesOutsideAscii)
{
    const CommandResult result = runScript(u"printf 'caf\\303\\251\\n'; printf '\\377\\000x' >&2"_s);
    EXPECT_EQ(result.output, u"caf\uFFFD\uFFFD\n"_s);
    EXPECT_EQ(result.error, QString(u"\uFFFD"_s) + QChar(0) + u'x');
    EXPECT_EQ(asciiText(QByteArray()), QString());
}

TEST(CommandRunner, ToolThatCannotStartGivesTwoTextsNamingThePath)
{
    QTemporaryDir folder;
    const QString notExecutable = folder.filePath(u"plain file"_s);
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho never\n");
    file.close();

    for (const QString& path : { folder.filePath(u"missing-tool"_s), notExecutable, folder.path() }) {
        const CommandResult result = runCommand(path, {}, generous);
        EXPECT_TRUE(result.output.isEmpty());
        EXPECT_TRUE(result.error.contains(path)) << result.error.toStdString();
        EXPECT_FALSE(result.exitStatus);
    }
    // And the runner still works afterwards.
    EXPECT_EQ(runScript(u"echo ok"_s).output, u"ok\n"_s);
}

TEST(CommandRunner, FeedsStandardInputWhenGiven)
{
    EXPECT_EQ(runScript(u"cat"_s, {}, QByteArray("secret \"with\" quotes\nand lines")).output,
        u"secret \"with\" quotes\nand lines"_s);
    EXPECT_EQ(runScript(u"wc -c"_s, {}, QByteArray()).output.trimmed(), u"0"_s);

    // More than any pipe holds, echoed back while it is still being written.
    const QByteArray large(3 * 1024 * 1024, 'i');
    EXPECT_EQ(runScript(u"cat"_s, {}, large).output.size(), large.size());

    // A tool that exits without reading its input must not take the application down with SIGPIPE.
    EXPECT_EQ(runScript(u"echo gone"_s, {}, large).output, u"gone\n"_s);
}

TEST(CommandRunner, ToolGetsOnlyItsThreeStandardDescriptors)
{
    // Opened the way a careless library would, without close-on-exec.
    const int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 3);
    const QString listing = u"ls /proc/$$/fd"_s;
    EXPECT_EQ(runScript(listing).output, u"0\n1\n2\n"_s);
    EXPECT_EQ(runScript(listing, {}, QByteArray("input")).output, u"0\n1\n2\n"_s);
    ::close(leaked);
}

// The tool, and a child it started in the background, are gone at the deadline; the run returns what the
// tool wrote and says which tool outlived what time.
TEST(CommandRunner, ToolPastItsDeadlineIsKilledWithWhatItStartedAndReaped)
{
    for (const std::optional<QByteArray>& input :
        { std::optional<QByteArray>(), std::optional(QByteArray("unread")) }) {
        const CommandResult result
            = runScript(u"echo $$; sleep 600 & echo $!; echo waiting >&2; wait"_s, {}, input, 300ms);
        EXPECT_TRUE(result.timedOut);
        EXPECT_FALSE(result.exitStatus);
        EXPECT_EQ(
            result.error, u"waiting\nrunCommand: /bin/sh did not finish within 0.3 s and was stopped"_s);
        const QStringList pids = result.output.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(pids.size(), 2) << result.output.toStdString();
        // The tool is reaped at once: no zombie of it is left, nor is it alive.
        EXPECT_FALSE(QFile::exists(u"/proc/"_s + pids[0])) << "the tool was not reaped";
        // Its background child belongs to another parent, which reaps it in its own time.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Processes::isRunning(pids[1].toLongLong()); }, 10000));
    }
}

TEST(CommandRunner, BackgroundChildThatKeepsTheStreamsOpenDoesNotHoldTheRun)
{
    // The child inherits both output streams and outlives the tool by far; the run ends with the tool.
    const CommandResult result = runScript(u"sleep 600 & echo $!; echo done >&2"_s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.error, u"done\n"_s);
    const qint64 child = result.output.trimmed().toLongLong();
    ASSERT_GT(child, 0);
    EXPECT_TRUE(Processes::isRunning(child));
    ::kill(pid_t(child), SIGKILL);
}

// The observer hears of a run only once it has waited long enough to be noticed, hears it go on while the
// tool runs, including a run that reaches its deadline, and always hears it end.
TEST(CommandRunner, TellsTheWaitObserverOfLongRunsOnly)
{
    QList<CommandWait> heard;
    setCommandWaitObserver([&heard](CommandWait wait) { heard.append(wait); });
    const auto observed = [&heard](const QString& script, std::chrono::milliseconds deadline) {
        heard.clear();
        runScript(script, {}, std::nullopt, deadline);
        return heard;
    };

    EXPECT_TRUE(observed(u"exit 0"_s, generous).isEmpty());
    for (const std::chrono::milliseconds deadline : { std::chrono::milliseconds(generous), 400ms }) {
        const QList<CommandWait> wait = observed(u"sleep 0.6"_s, deadline);
        ASSERT_GE(wait.size(), 3);
        EXPECT_EQ(wait.first(), CommandWait::Began);
        EXPECT_EQ(wait.last(), CommandWait::Ended);
        EXPECT_EQ(wait.count(CommandWait::Began), 1);
        EXPECT_EQ(wait.count(CommandWait::Ended), 1);
        // About a slice apart, so a window redrawn on each stays fluid: far more than one for the wait.
        EXPECT_GE(wait.count(CommandWait::Continues), 3);
    }
    setCommandWaitObserver({});
}

}
