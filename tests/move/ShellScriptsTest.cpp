#include "MoveFixtures.h"

#include "app/Platform.h"
#include "move/ShellScripts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Paths that a shell would split, expand or run if any of them escaped its quotes.
const QStringList hostileNames {
    "My App 2.app",
    "it's.app",
    "say \"hi\".app",
    "back\\slash \\'.app",
    "$(touch pwned).app",
    "`touch pwned`.app",
    "line\nbreak.app",
    "'; touch pwned; '.app",
    "%1 %2.app",
};

QByteArray shellOutput(const QString& shell, const QString& commandLine, const QString& folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(shell, { "-c", commandLine });
    process.waitForFinished(-1);
    return process.readAllStandardOutput();
}

}

TEST(ShellQuoting, QuotesEveryTextAsOneWord)
{
    EXPECT_EQ(shellQuoted(""), "''");
    EXPECT_EQ(shellQuoted("/Applications/App.app"), "'/Applications/App.app'");
    EXPECT_EQ(shellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(shellQuoted("''"), "''\\'''\\'''");
    EXPECT_EQ(administratorCommandLine("/bin/rm", { "-rf", "/Applications/My App.app" }),
        "'/bin/rm' '-rf' '/Applications/My App.app'");
}

TEST(ShellQuoting, RelaunchScriptKeepsItsFormCharacterForCharacter)
{
    EXPECT_EQ(relaunchScript(731, "/Applications/App.app"),
        "(while /bin/kill -0 731 >&/dev/null; do /bin/sleep 0.1; done; "
        "'/Applications/App.app/libexec/tapescribe-xattr' -d -r com.apple.quarantine "
        "'/Applications/App.app'; "
        "'/Applications/App.app/bin/tapescribe') &");
    EXPECT_EQ(relaunchScript(42, "/home/u/Applications/it's.app"),
        "(while /bin/kill -0 42 >&/dev/null; do /bin/sleep 0.1; done; "
        "'/home/u/Applications/it'\\''s.app/libexec/tapescribe-xattr' -d -r com.apple.quarantine "
        "'/home/u/Applications/it'\\''s.app'; '/home/u/Applications/it'\\''s.app/bin/tapescribe') &");
}

TEST(ShellQuoting, HostilePathsStayOneWordAndRunNothing)
{
    QTemporaryDir folder;
    for (const QString& name : hostileNames) {
        const QString path = folder.path() + "/" + name;
        const QString commandLine = administratorCommandLine("/usr/bin/printf", { "<%s>", path, "-rf" });
        EXPECT_EQ(shellOutput("/bin/sh", commandLine, folder.path()), ("<" + path + "><-rf>").toUtf8())
            << commandLine.toStdString();
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("pwned")));
}

TEST(Relaunch, WaitsForTheProcessToEndThenStartsTheMovedBundleWhateverItsPath)
{
    QTemporaryDir folder;
    for (const QString& name : hostileNames) {
        QProcess waitedFor;
        waitedFor.start("/bin/sleep", { "600" });
        ASSERT_TRUE(waitedFor.waitForStarted());
        const QString bundle = folder.path() + "/" + name;
        const QString marker = folder.filePath("started");
        QFile::remove(marker);
        // The started executable notes whether the process it had to wait for was still there.
        makeFakeBundle(bundle, marker,
            QStringLiteral("\"$0\" $(/bin/kill -0 %1 2>/dev/null && echo early || echo after)")
                .arg(waitedFor.processId()));

        ASSERT_TRUE(Platform::startDetachedShell(relaunchScript(waitedFor.processId(), bundle)));
        // Time for a script that does not wait to give itself away.
        QTest::qWait(500);
        waitedFor.kill();
        waitedFor.waitForFinished();

        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(marker).size() > 0; }, 30000)) << name.toStdString();
        QFile started(marker);
        started.open(QIODevice::ReadOnly);
        EXPECT_EQ(started.readAll(), (bundle + "/bin/tapescribe\nafter\n").toUtf8());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(marker + ".xattr").size() > 0; }, 30000));
        QFile xattr(marker + ".xattr");
        xattr.open(QIODevice::ReadOnly);
        EXPECT_EQ(xattr.readAll(), ("-d\n-r\ncom.apple.quarantine\n" + bundle + "\n").toUtf8());
        QFile::remove(marker + ".xattr");
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("pwned")));
}
