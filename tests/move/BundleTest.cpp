#include "support/TestEnvironment.h"

#include "app/Platform.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(600000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll()) };
}

// The bundle as `cmake --install` lays it out, in a Downloads folder of a home of its own.
class InstalledBundle : public testing::Test
{
protected:
    static inline QTemporaryDir* root = nullptr;
    static QString home() { return root->path(); }
    static QString bundle() { return home() + "/Downloads/tapeScribe.app"; }

    static void SetUpTestSuite()
    {
        root = new QTemporaryDir;
        const ToolRun install = runTool(
            TAPESCRIBE_CMAKE, { "--install", TestEnvironment::buildDirectory(), "--prefix", bundle() });
        ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    }
    static void TearDownTestSuite() { delete root; }
};

TEST_F(InstalledBundle, HoldsValidDesktopFilesAndNamesNoFolderOfTheBuild)
{
    EXPECT_FALSE(QFile::exists(bundle() + "/libexec/tapescribe-logservice"));
    EXPECT_TRUE(QFile::exists(bundle() + "/share/tapescribe/translations/tapescribe_de.qm"));
    for (const char* size : { "16x16", "24x24", "48x48", "256x256", "512x512", "scalable" })
        EXPECT_EQ(QDir(bundle() + "/share/icons/hicolor/" + size + "/apps").entryList(QDir::Files).size(), 1)
            << size;
    const ToolRun desktop
        = runTool("desktop-file-validate", { bundle() + "/share/applications/tapescribe.desktop" });
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_EQ(desktop.output, "");
    const ToolRun metainfo = runTool("appstreamcli",
        { "validate", "--no-net", "--pedantic",
            bundle() + "/share/metainfo/com.fernwrightsystem.tapescribe.metainfo.xml" });
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();

    const QByteArray sourceFolder = QFile::encodeName(TestEnvironment::sourceDirectory());
    const QByteArray buildFolder = QFile::encodeName(QDir(TestEnvironment::buildDirectory()).canonicalPath());
    QDirIterator files(bundle(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        EXPECT_FALSE(content.contains(sourceFolder) || content.contains(buildFolder))
            << file.fileName().toStdString();
    }
}

TEST_F(InstalledBundle, MovesItselfFromDownloadsIntoApplicationsAndStartsThere)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "the offer is answered on an X display";
    QDir().mkpath(home() + "/Applications/Other.app");
    QDir().mkpath(home() + "/run");
    QFile::setPermissions(
        home() + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A second download of the same bundle, the way a browser names it.
    const QString copied = home() + "/Downloads/tapeScribe (1).app";
    const QString moved = home() + "/Applications/tapeScribe (1).app";
    ASSERT_EQ(runTool("/bin/cp", { "-a", bundle(), copied }).exitCode, 0);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home());
    environment.insert("XDG_RUNTIME_DIR", home() + "/run");
    environment.remove("XDG_CONFIG_HOME");
    environment.remove("XDG_DATA_HOME");
    QProcess application;
    application.setProcessEnvironment(environment);
    application.setStandardOutputFile(home() + "/console.txt");
    application.start(copied + "/bin/tapescribe", {});
    ASSERT_TRUE(application.waitForStarted());

    // The offer is the application's first window; Return answers it with its default button.
    QString offer;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            offer = runTool("xdotool", { "search", "--onlyvisible", "--class", "tapescribe" })
                        .output.section('\n', 0, 0);
            return !offer.isEmpty();
        },
        180000));
    runTool("xdotool", { "windowfocus", "--sync", offer, "key", "Return" });
    ASSERT_TRUE(application.waitForFinished(180000));
    EXPECT_EQ(application.exitCode(), 0);

    qint64 movedProcess = 0;
    const bool movedCopyRuns = QTest::qWaitFor(
        [&] {
            for (const QString& entry : QDir("/proc").entryList(QDir::Dirs))
                if (QFile::symLinkTarget("/proc/" + entry + "/exe") == moved + "/bin/tapescribe")
                    movedProcess = entry.toLongLong();
            return movedProcess != 0;
        },
        60000);
    QFile console(home() + "/console.txt");
    console.open(QIODevice::ReadOnly);
    const QString lines = QString::fromUtf8(console.readAll());
    EXPECT_TRUE(movedCopyRuns) << lines.toStdString();
    EXPECT_FALSE(QFile::exists(copied));
    EXPECT_TRUE(lines.contains("INFO -- Moving myself to the Applications folder\n")) << lines.toStdString();
    EXPECT_TRUE(lines.contains("\nrelaunch\n")) << lines.toStdString();
    if (movedProcess != 0)
        ::kill(pid_t(movedProcess), SIGTERM);
}

TEST_F(InstalledBundle, DebianPackageInstallsUnderUsrWithItsDependencies)
{
    QTemporaryDir output;
    const ToolRun pack = runTool(TAPESCRIBE_CPACK,
        { "--config", TestEnvironment::buildDirectory() + "/CPackConfig.cmake", "-B", output.path() });
    ASSERT_EQ(pack.exitCode, 0) << pack.output.toStdString();
    const QStringList packages = QDir(output.path()).entryList({ "tapescribe_*.deb" });
    ASSERT_EQ(packages.size(), 1);
    const QString package = output.filePath(packages.first());

    const QString depends = runTool("dpkg-deb", { "--field", package, "Depends" }).output;
    for (const char* dependency :
        { "libqt6webenginewidgets6", "libqt6webenginecore6-bin", "qt6-qpa-plugins", "libc6" })
        EXPECT_TRUE(depends.contains(dependency)) << depends.toStdString();
    EXPECT_TRUE(runTool("dpkg-deb", { "--field", package, "Recommends" }).output.contains("pkexec"));
    const QString contents = runTool("dpkg-deb", { "--contents", package }).output;
    EXPECT_TRUE(contents.contains("./usr/bin/tapescribe\n"));
    EXPECT_TRUE(contents.contains("./usr/share/applications/tapescribe.desktop\n"));
    EXPECT_FALSE(contents.contains("tapescribe-logservice"));
}

}
