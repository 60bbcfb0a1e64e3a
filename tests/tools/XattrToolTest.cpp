#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/xattr.h>

namespace {

struct ToolRun
{
    int status = -1;
    QByteArray output;
    QString error;
};

ToolRun xattrTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-xattr")), arguments);
    EXPECT_TRUE(tool.waitForFinished(30'000));
    return { tool.exitCode(), tool.readAllStandardOutput(), QString::fromUtf8(tool.readAllStandardError()) };
}

QString file(const QTemporaryDir& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    QFile created(path);
    EXPECT_TRUE(created.open(QIODevice::WriteOnly));
    return path;
}

QByteArray kernelValue(const QString& path, const char* name)
{
    char value[512];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, size);
}

const QString stamp = QStringLiteral("com.FernwrightSystem.logStartTime");

TEST(XattrTool, WritesPrintsAndDeletesInTheUserNamespace)
{
    QTemporaryDir folder;
    const QString clip = file(folder, QStringLiteral("it's a \"clip\".mov"));
    const QString value = QStringLiteral("2016-03-01 14:05:09 +0000");

    ToolRun run = xattrTool({ QStringLiteral("-w"), stamp, value, clip });
    EXPECT_EQ(run.status, 0) << run.error.toStdString();
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_EQ(kernelValue(clip, "user.com.FernwrightSystem.logStartTime"), value.toUtf8());

    run = xattrTool({ QStringLiteral("-p"), stamp, clip });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, value.toUtf8() + '\n');
    // The namespace may also be named.
    EXPECT_EQ(xattrTool({ QStringLiteral("-p"), QStringLiteral("user.") + stamp, clip }).output,
        value.toUtf8() + '\n');

    // Writing again replaces the value; values may hold line breaks and be empty.
    xattrTool({ QStringLiteral("-w"), stamp, QStringLiteral("two\nlines"), clip });
    EXPECT_EQ(xattrTool({ QStringLiteral("-p"), stamp, clip }).output, QByteArray("two\nlines\n"));
    xattrTool({ QStringLiteral("-w"), stamp, QString(), clip });
    EXPECT_EQ(xattrTool({ QStringLiteral("-p"), stamp, clip }).output, QByteArray("\n"));

    run = xattrTool({ QStringLiteral("-d"), stamp, clip });
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(kernelValue(clip, "user.com.FernwrightSystem.logStartTime").isNull());
}

TEST(XattrTool, FailuresSayWhatAndWhereAndExitNonZero)
{
    QTemporaryDir folder;
    const QString clip = file(folder, QStringLiteral("clip.mov"));
    const QString missing = folder.filePath(QStringLiteral("missing.mov"));

    ToolRun run = xattrTool({ QStringLiteral("-p"), stamp, clip });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_TRUE(run.error.contains(clip) && run.error.contains(QStringLiteral("No such xattr")))
        << run.error.toStdString();

    run = xattrTool({ QStringLiteral("-d"), stamp, clip });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.error.contains(QStringLiteral("No such xattr")));

    run = xattrTool({ QStringLiteral("-w"), stamp, QStringLiteral("v"), missing });
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.error.contains(missing) && run.error.contains(QStringLiteral("No such file")))
        << run.error.toStdString();

    // One failing file does not stop the others, but it decides the status.
    run = xattrTool({ QStringLiteral("-w"), stamp, QStringLiteral("v"), missing, clip });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(kernelValue(clip, "user.com.FernwrightSystem.logStartTime"), QByteArray("v"));

    run = xattrTool({ QStringLiteral("-q"), stamp, clip });
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.error.contains(QStringLiteral("usage:")));
}

TEST(XattrTool, RecursiveDeleteClearsATreeAndSkipsWhatLacksIt)
{
    QTemporaryDir folder;
    const QString bundle = folder.filePath(QStringLiteral("tapeScribe.app"));
    QDir().mkpath(bundle + QStringLiteral("/bin/deep"));
    const QString quarantine = QStringLiteral("com.apple.quarantine");
    const QString top = file(folder, QStringLiteral("tapeScribe.app/top"));
    const QString deep = file(folder, QStringLiteral("tapeScribe.app/bin/deep/tool"));
    file(folder, QStringLiteral("tapeScribe.app/bin/untouched"));
    QFile::link(folder.filePath(QStringLiteral("elsewhere")), bundle + QStringLiteral("/bin/dangling"));
    xattrTool({ QStringLiteral("-w"), quarantine, QStringLiteral("q"), bundle, top, deep });
    const QString outside = file(folder, QStringLiteral("outside"));
    xattrTool({ QStringLiteral("-w"), quarantine, QStringLiteral("q"), outside });

    const ToolRun run = xattrTool({ QStringLiteral("-d"), QStringLiteral("-r"), quarantine, bundle });
    EXPECT_EQ(run.status, 0) << run.error.toStdString();
    for (const QString& path : { bundle, top, deep })
        EXPECT_TRUE(kernelValue(path, "user.com.apple.quarantine").isNull()) << path.toStdString();
    EXPECT_EQ(kernelValue(outside, "user.com.apple.quarantine"), QByteArray("q"));

    EXPECT_EQ(xattrTool({ QStringLiteral("-d"), QStringLiteral("-r"), quarantine,
                            folder.filePath(QStringLiteral("none")) })
                  .status,
        1);
}

}
