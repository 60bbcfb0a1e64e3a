#include "TextPrinting.h"
#include "support/TestEnvironment.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

ToolRun runTool(const QString& program, const QStringList& arguments)
{
    return ::runTool(program, arguments, {}, ToolStreams::Merged);
}

// The bundle as `cmake --install` lays it out, in a Downloads folder of a home of its own.
class InstalledBundle : public testing::Test
{
protected:
    static inline QTemporaryDir home;
    static inline const QString bundle = home.filePath("Downloads/tapeScribe.app");

    static void SetUpTestSuite()
    {
        const ToolRun install = runTool(
            TAPESCRIBE_CMAKE, { "--install", TestEnvironment::buildDirectory(), "--prefix", bundle });
        ASSERT_EQ(install.status, 0) << install.output.toStdString();
    }
};

TEST_F(InstalledBundle, HoldsValidDesktopFilesAndNamesNoFolderOfTheBuild)
{
    EXPECT_TRUE(QFile::exists(bundle + "/share/tapescribe/translations/tapescribe_de.qm"));
    for (const char* size : { "16x16", "24x24", "48x48", "256x256", "512x512", "scalable" })
        EXPECT_EQ(QDir(bundle + "/share/icons/hicolor/" + size + "/apps").entryList(QDir::Files).size(), 1)
            << size;
    const ToolRun desktop
        = runTool("desktop-file-validate", { bundle + "/share/applications/tapescribe.desktop" });
    EXPECT_EQ(desktop.status, 0) << desktop.output.toStdString();
    EXPECT_EQ(desktop.output, "");
    const ToolRun metainfo = runTool("appstreamcli",
        { "validate", "--no-net", "--pedantic",
            bundle + "/share/metainfo/com.fernwrightsystem.tapescribe.metainfo.xml" });
    EXPECT_EQ(metainfo.status, 0) << metainfo.output.toStdString();

    // grep names each installed file that holds the path of the source or the build tree. Not in the
    // checking build: GCC 12's sanitizers keep the path of each source file as it was given to the
    // compiler, for their reports, whatever -ffile-prefix-map says.
#ifndef __SANITIZE_ADDRESS__
    const QString buildFolder = QDir(TestEnvironment::buildDirectory()).canonicalPath();
    const ToolRun grep
        = runTool("grep", { "-rlF", "-e", TestEnvironment::sourceDirectory(), "-e", buildFolder, bundle });
    EXPECT_EQ(grep.output, "");
#endif
}

TEST_F(InstalledBundle, MovesItselfFromDownloadsIntoApplicationsAndStartsThere)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "the offer is answered on an X display";
    QDir().mkpath(home.filePath("Applications/Other.app"));
    QDir().mkdir(
        home.filePath("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // A second download of the same bundle, the way a browser names it.
    const QString copied = home.filePath("Downloads/tapeScribe (1).app");
    ASSERT_EQ(runTool("/bin/cp", { "-a", bundle, copied }).status, 0);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_RUNTIME_DIR", home.filePath("run"));
    environment.remove("XDG_CONFIG_HOME");
    environment.remove("XDG_DATA_HOME");
    QProcess application;
    application.setProcessEnvironment(environment);
    application.setStandardOutputFile(home.filePath("console.txt"));
    application.start(copied + "/bin/tapescribe", {});
    // The offer comes over the main window, as the application's second window, the one mapped last;
    // Return answers it with its default button.
    runTool("/bin/sh",
        { "-c",
            "i=0; until [ \"$(xdotool search --onlyvisible --class tapescribe | wc -l)\" -ge 2 ] || [ $i -ge 600 ]; "
            "do sleep 0.1; i=$((i + 1)); done; "
            "xdotool windowfocus --sync \"$(xdotool search --onlyvisible --class tapescribe | tail -n 1)\" "
            "key Return" });
    ASSERT_TRUE(application.waitForFinished(180000));
    EXPECT_EQ(application.exitCode(), 0);

    QFile console(home.filePath("console.txt"));
    console.open(QIODevice::ReadOnly);
    const std::string lines = console.readAll().toStdString();
    EXPECT_NE(lines.find("INFO -- Moving myself to the Applications folder\nrelaunch\n"), std::string::npos)
        << lines;
    EXPECT_FALSE(QFile::exists(copied));
    const QString moved = home.filePath("Applications/tapeScribe (1).app/bin/tapescribe");
    pid_t movedProcess = 0;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            for (const QString& entry : QDir("/proc").entryList(QDir::Dirs))
                if (QFile::symLinkTarget("/proc/" + entry + "/exe") == moved)
                    movedProcess = entry.toInt();
            return movedProcess != 0;
        },
        60000));
    if (movedProcess != 0)
        ::kill(movedProcess, SIGTERM);
}

TEST_F(InstalledBundle, DebianPackageInstallsUnderUsrWithItsDependencies)
{
    QTemporaryDir output;
    const ToolRun pack = runTool(TAPESCRIBE_CPACK,
        { "--config", TestEnvironment::buildDirectory() + "/CPackConfig.cmake", "-B", output.path() });
    ASSERT_EQ(pack.status, 0) << pack.output.toStdString();
    const QStringList packages = QDir(output.path()).entryList({ "tapescribe_*.deb" });
    ASSERT_EQ(packages.size(), 1);
    const QString package = output.filePath(packages.first());

    const QString depends = runTool("dpkg-deb", { "--field", package, "Depends" }).output;
    for (const char* dependency :
        { "libqt6webenginewidgets6", "libqt6webenginecore6-bin", "qt6-qpa-plugins", "procps", "libc6" })
        EXPECT_TRUE(depends.contains(dependency)) << depends.toStdString();
    const QString recommends = runTool("dpkg-deb", { "--field", package, "Recommends" }).output;
    for (const char* recommendation : { "pkexec", "qt6-wayland" })
        EXPECT_TRUE(recommends.contains(recommendation)) << recommends.toStdString();
    const QString contents = runTool("dpkg-deb", { "--contents", package }).output;
    EXPECT_TRUE(contents.contains("./usr/bin/tapescribe\n"));
    EXPECT_TRUE(contents.contains("./usr/share/applications/tapescribe.desktop\n"));
    EXPECT_FALSE(contents.contains("tapescribe-logservice"));
}

}
