#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/xattr.h>

using namespace Qt::StringLiterals;

namespace {

ToolRun xattrTool(const QStringList& arguments)
{
    return runTool(TestEnvironment::builtProgram(u"tapescribe-xattr"_s), arguments);
}

QString file(const QTemporaryDir& folder, const char* name)
{
    const QString path = folder.filePath(QString::fromUtf8(name));
    QFile created(path);
    EXPECT_TRUE(created.open(QIODevice::WriteOnly));
    return path;
}

QByteArray kernelValue(const QString& path, const char* name = "user.com.FernwrightSystem.logStartTime")
{
    char value[512];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return size < 0 ? QByteArray() : QByteArray(value, size);
}

const QString stamp = u"com.FernwrightSystem.logStartTime"_s;

TEST(XattrTool, WritesPrintsAndDeletesInTheUserNamespace)
{
    QTemporaryDir folder;
    const QString clip = file(folder, "it's a \"clip\".mov");
    const QString value = u"2016-03-01 14:05:09 +0000"_s;

    ToolRun run = xattrTool({ "-w", stamp, value, clip });
    EXPECT_EQ(run.status, 0) << run.error.toStdString();
    EXPECT_TRUE(run.output.isEmpty());
    EXPECT_EQ(kernelValue(clip), value.toUtf8());

    run = xattrTool({ "-p", stamp, clip });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, value.toUtf8() + '\n');
    // The namespace may also be named.
    EXPECT_EQ(xattrTool({ "-p", "user." + stamp, clip }).output, value.toUtf8() + '\n');

    // Writing again replaces the value; values may hold line breaks and be empty.
    for (const char* again : { "two\nlines", "" }) {
        xattrTool({ "-w", stamp, QString::fromUtf8(again), clip });
        EXPECT_EQ(xattrTool({ "-p", stamp, clip }).output, QByteArray(again) + '\n');
    }

    EXPECT_EQ(xattrTool({ "-d", stamp, clip }).status, 0);
    EXPECT_TRUE(kernelValue(clip).isNull());
}

TEST(XattrTool, FailuresSayWhatAndWhereAndExitNonZero)
{
    QTemporaryDir folder;
    const QString clip = file(folder, "clip.mov");
    const QString missing = folder.filePath(u"missing.mov"_s);
    const struct
    {
        QStringList arguments;
        int status;
        QString path, reason;
    } cases[] = {
        { { "-p", stamp, clip }, 1, clip, u"No such xattr"_s },
        { { "-d", stamp, clip }, 1, clip, u"No such xattr"_s },
        { { "-w", stamp, "v", missing }, 1, missing, u"No such file"_s },
        { { "-d", "-r", stamp, missing }, 1, missing, u"No such file"_s },
        { { "-q", stamp, clip }, 2, {}, u"usage:"_s },
    };
    for (const auto& [arguments, status, path, reason] : cases) {
        const ToolRun run = xattrTool(arguments);
        EXPECT_EQ(run.status, status) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.output.isEmpty());
        const QString error = QString::fromUtf8(run.error);
        EXPECT_TRUE(error.contains(path) && error.contains(reason)) << run.error.toStdString();
    }

    // One failing file does not stop the others, but it decides the status.
    EXPECT_EQ(xattrTool({ "-w", stamp, "v", missing, clip }).status, 1);
    EXPECT_EQ(kernelValue(clip), QByteArray("v"));
}

TEST(XattrTool, RecursiveDeleteClearsATreeAndSkipsWhatLacksIt)
{
    QTemporaryDir folder;
    const QString bundle = folder.filePath(u"tapeScribe.app"_s);
    QDir().mkpath(bundle + u"/bin/deep"_s);
    const QString quarantine = u"com.apple.quarantine"_s;
    const QString top = file(folder, "tapeScribe.app/top");
    const QString deep = file(folder, "tapeScribe.app/bin/deep/tool");
    file(folder, "tapeScribe.app/bin/untouched");
    QFile::link(folder.filePath(u"elsewhere"_s), bundle + u"/bin/dangling"_s);
    const QString outside = file(folder, "outside");
    xattrTool({ "-w", quarantine, "q", bundle, top, deep, outside });

    const ToolRun run = xattrTool({ "-d", "-r", quarantine, bundle });
    EXPECT_EQ(run.status, 0) << run.error.toStdString();
    for (const QString& path : { bundle, top, deep })
        EXPECT_TRUE(kernelValue(path, "user.com.apple.quarantine").isNull()) << path.toStdString();
    EXPECT_EQ(kernelValue(outside, "user.com.apple.quarantine"), QByteArray("q"));
}

}
