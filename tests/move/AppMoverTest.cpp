#include "MoveFixtures.h"
#include "support/TestEnvironment.h"

#include "move/AppMover.h"
#include "move/ShellScripts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

const QString suppressKey = "moveToApplicationsFolderAlertSuppress";
const QString moving = "INFO -- Moving myself to the Applications folder";
const QString question = "I can move myself to the Applications folder if you'd like.";
using Outcome = AppMover::LaunchOutcome;

// Refuses the operations the test names; a test that runs as root could otherwise write anywhere.
class RefusingFileManager : public FileManager
{
public:
    QSet<QString> readOnly, refused;

    bool isWritableFileAtPath(const QString& path) const override
    {
        return !readOnly.contains(path) && FileManager::isWritableFileAtPath(path);
    }
    std::optional<FileError> trashItemAtPath(const QString& path) override
    {
        return refused.contains("trash") ? refusal() : FileManager::trashItemAtPath(path);
    }
    std::optional<FileError> removeItemAtPath(const QString& path) override
    {
        return refused.contains("remove") ? refusal() : FileManager::removeItemAtPath(path);
    }
    std::optional<FileError> copyItemAtPath(const QString& source, const QString& destination) override
    {
        return refused.contains("copy") ? refusal() : FileManager::copyItemAtPath(source, destination);
    }

private:
    static FileError refusal() { return { "Refused", "Refused by the test" }; }
};

struct Offer
{
    QString title, informativeText, defaultButton, escapeButton;
    int checkboxPointSize;
};

class AppMoverTest : public testing::Test
{
protected:
    QTemporaryDir home;
    QString applications = home.filePath("Applications");
    QString bundle = home.filePath("Downloads/tapeScribe.app");
    QString destination = applications + "/tapeScribe.app";
    RefusingFileManager files;
    AppMover mover { files };

    Qt::Key answerKey = Qt::Key_Return;
    bool tickCheckbox = false;
    QList<Offer> offers;
    QStringList otherAlerts, administratorCommands, detachedScripts;
    std::optional<QString> administratorRefusal;

    void SetUp() override
    {
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath(".config"));
        makeFakeBundle(bundle, home.filePath("started"));
        makeFakeBundle(applications + "/Other.app", home.filePath("other"));
        mover.mainBundlePath = [this] { return std::optional(bundle); };
        mover.runModal = [this](QMessageBox& alert) { answer(alert); };
        mover.administratorShell = [this](const QString& line) { return runAsAdministrator(line); };
        mover.startDetachedShell = [this](const QString& script) {
            detachedScripts.append(script);
            return true;
        };
    }

    // The user answers the offer with a key, through the real modal loop.
    void answer(QMessageBox& alert)
    {
        if (!alert.checkBox())
            return otherAlerts.append(alert.text());
        offers.append({ alert.text(), alert.informativeText(), alert.defaultButton()->text(),
            alert.escapeButton()->text(), alert.checkBox()->font().pointSize() });
        QTimer::singleShot(0, &alert, [this, &alert] {
            alert.checkBox()->setChecked(tickCheckbox);
            QTest::keyClick(&alert, answerKey);
        });
        alert.exec();
    }

    // Stands for pkexec: the command line runs in a plain shell, as the administrator's would.
    Platform::AdministratorRun runAsAdministrator(const QString& commandLine)
    {
        administratorCommands.append(commandLine);
        if (administratorRefusal)
            return { std::nullopt, *administratorRefusal };
        QProcess shell;
        shell.start("/bin/sh", { "-c", commandLine });
        shell.waitForFinished(-1);
        if (shell.exitCode() != 0)
            return { std::nullopt, shell.readAllStandardError() };
        return { QString::fromUtf8(shell.readAllStandardOutput()), {} };
    }

    QStringList offerMove(Outcome expected)
    {
        ConsoleCapture console;
        EXPECT_EQ(mover.offerMove(), expected);
        return console.lines();
    }
};

TEST_F(AppMoverTest, MakesNoOfferWhenSuppressedInPlaceOrNotABundle)
{
    QSettings().setValue(suppressKey, true);
    EXPECT_TRUE(offerMove(Outcome::GoOnLaunching).isEmpty());
    QSettings().remove(suppressKey);
    bundle = applications + "Old/tapeScribe.app";
    EXPECT_TRUE(offerMove(Outcome::GoOnLaunching).isEmpty());
    // A build tree, where the tests run, is no bundle.
    mover.mainBundlePath = Platform::bundlePath;
    EXPECT_TRUE(offerMove(Outcome::GoOnLaunching).isEmpty());
    EXPECT_TRUE(offers.isEmpty());
}

TEST_F(AppMoverTest, OfferNamesTheTargetAndAddsAtMostOneNote)
{
    answerKey = Qt::Key_Escape;
    const QString downloaded = bundle;
    bundle = home.filePath("Elsewhere/tapeScribe.app");
    offerMove(Outcome::GoOnLaunching);
    bundle = downloaded;
    offerMove(Outcome::GoOnLaunching);
    QDir().mkpath(destination);
    files.readOnly.insert(destination);
    offerMove(Outcome::GoOnLaunching);
    QDir(applications).removeRecursively();
    offerMove(Outcome::GoOnLaunching);

    ASSERT_EQ(offers.size(), 4);
    EXPECT_EQ(offers[0].title, "Move to Applications folder in your Home folder?");
    EXPECT_EQ(offers[0].informativeText, question);
    EXPECT_EQ(offers[1].informativeText, question + " This will keep your Downloads folder uncluttered.");
    EXPECT_EQ(
        offers[2].informativeText, question + " Note that this will require an administrator password.");
    EXPECT_EQ(offers[3].title, "Move to Applications folder?");
    EXPECT_EQ(offers[0].defaultButton, "Move to Applications Folder");
    EXPECT_EQ(offers[0].escapeButton, "Do Not Move");
    EXPECT_EQ(offers[0].checkboxPointSize, 10);
    EXPECT_TRUE(QFile::exists(bundle));
}

TEST_F(AppMoverTest, OnlyDecliningWithTheCheckboxTickedSuppressesTheOffer)
{
    answerKey = Qt::Key_Escape;
    EXPECT_TRUE(offerMove(Outcome::GoOnLaunching).isEmpty());
    tickCheckbox = true;
    answerKey = Qt::Key_Return;
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, "relaunch" }));
    EXPECT_FALSE(QSettings().value(suppressKey).toBool());

    bundle = home.filePath("Downloads/Second.app");
    makeFakeBundle(bundle, home.filePath("started"));
    answerKey = Qt::Key_Escape;
    offerMove(Outcome::GoOnLaunching);
    offerMove(Outcome::GoOnLaunching);
    EXPECT_EQ(offers.size(), 3);
}

TEST_F(AppMoverTest, AdministratorCopyKeepsEveryPathOneWordAndStopsAtTheFirstFailure)
{
    bundle = home.filePath("Downloads/it's $(touch pwned) `touch pwned` \"x\" \\.app");
    destination = applications + "/" + QFileInfo(bundle).fileName();
    makeFakeBundle(bundle, home.filePath("started"));
    makeFakeBundle(destination, home.filePath("old"));
    files.readOnly.insert(destination);
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, "relaunch" }));
    EXPECT_EQ(administratorCommands,
        QStringList({ administratorCommandLine("/bin/rm", { "-rf", destination }),
            administratorCommandLine("/bin/cp", { "-pR", bundle, destination }) }));
    EXPECT_TRUE(QFileInfo(destination + "/bin/tapescribe").isExecutable());
    EXPECT_FALSE(QFile::exists(bundle));
    EXPECT_FALSE(QFile::exists(home.filePath("pwned")) || QFile::exists("pwned"));

    makeFakeBundle(bundle, home.filePath("started"));
    administratorRefusal = "The request for administrator rights was dismissed";
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching),
        QStringList({ moving, "Error running process as administrator: " + *administratorRefusal,
            "ERROR -- Could not copy myself to /Applications with authorization" }));
    EXPECT_EQ(administratorCommands.size(), 3) << "no copy after a failed removal";
    EXPECT_TRUE(QFile::exists(bundle));
    EXPECT_FALSE(mover.installWithAdministratorRights(bundle, applications + "/tapeScribe"));
    EXPECT_FALSE(mover.installWithAdministratorRights(" \t", destination));
    EXPECT_EQ(administratorCommands.size(), 3) << "a refused install asks for no password";

    administratorRefusal = "";
    ConsoleCapture console;
    EXPECT_FALSE(mover.runAsAdministrator("/bin/true", {}));
    EXPECT_EQ(console.lines(), QStringList("Error running process as administrator."));
}

TEST_F(AppMoverTest, RunningCopyAtTheDestinationIsBroughtForward)
{
    makeFakeBundle(destination, home.filePath("brought forward"));
    QFile::copy("/bin/sleep", destination + "/bin/sleeper");
    QProcess running;
    running.start(destination + "/bin/sleeper", { "600" });
    ASSERT_TRUE(running.waitForStarted());
    EXPECT_EQ(offerMove(Outcome::EndProcess),
        QStringList({ moving, "INFO -- Switching to an already running version" }));
    EXPECT_TRUE(QFile::exists(home.filePath("brought forward")));
    EXPECT_TRUE(QFile::exists(bundle));
    EXPECT_TRUE(detachedScripts.isEmpty());
    running.kill();
    running.waitForFinished();
}

TEST_F(AppMoverTest, FailuresBeforeTheCopyIsCompleteKeepTheRunningBundle)
{
    makeFakeBundle(destination, home.filePath("old"));
    files.refused = { "trash" };
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching),
        QStringList({ moving, "Ooops! Something went wrong: Refused by the test",
            "ERROR -- Could not trash " + destination }));
    EXPECT_EQ(otherAlerts, QStringList("Could not move to Applications folder"));

    files.refused = { "copy" };
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching),
        QStringList(
            { moving, QString("ERROR -- Could not copy '%1' to '%2' (Refused)").arg(bundle, destination),
                "Could not copy myself to " + destination }));
    EXPECT_EQ(otherAlerts.last(), "Refused");
    EXPECT_TRUE(QFile::exists(bundle));
    EXPECT_TRUE(detachedScripts.isEmpty());
}

TEST_F(AppMoverTest, MoveReplacesTheOldCopyDeletesItselfAndRelaunches)
{
    makeFakeBundle(destination, home.filePath("old"));
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, "relaunch" }));
    EXPECT_TRUE(QFile::exists(home.filePath(".local/share/Trash/files/tapeScribe.app/bin/tapescribe")));
    EXPECT_TRUE(QFileInfo(destination + "/bin/tapescribe").isExecutable());
    EXPECT_FALSE(QFile::exists(bundle));
    EXPECT_EQ(detachedScripts, QStringList(relaunchScript(QCoreApplication::applicationPid(), destination)));

    // The running copy resists deletion: the Trash takes it, or, failing that too, it stays.
    QDir(destination).removeRecursively();
    makeFakeBundle(bundle, home.filePath("started"));
    files.refused = { "remove" };
    EXPECT_EQ(offerMove(Outcome::EndProcess),
        QStringList({ moving, "WARNING -- Could not delete '" + bundle + "': Refused", "relaunch" }));
    EXPECT_FALSE(QFile::exists(bundle));
    QDir(destination).removeRecursively();
    makeFakeBundle(bundle, home.filePath("started"));
    files.refused = { "remove", "trash" };
    const QStringList lines = offerMove(Outcome::EndProcess);
    EXPECT_EQ(lines.mid(4),
        QStringList({ "WARNING -- Could not delete application after moving it to Applications folder",
            "relaunch" }));
    EXPECT_TRUE(QFile::exists(bundle));
    EXPECT_EQ(otherAlerts, QStringList({ "Refused", "Refused" }));
}

TEST_F(AppMoverTest, InstallFolderIsTheHomeFolderOnlyWhenItHoldsABundle)
{
    EXPECT_EQ(mover.installFolder().folder, applications);
    EXPECT_TRUE(mover.installFolder().inHomeFolder);
    QDir(applications).removeRecursively();
    QDir().mkpath(applications + "/Utilities");
    QDir().mkpath(applications + "/Tool.APP");
    EXPECT_EQ(mover.installFolder().folder, "/opt");
    QDir(applications).removeRecursively();
    QFile(applications).open(QIODevice::WriteOnly);
    EXPECT_EQ(mover.installFolder().folder, "/opt");
    EXPECT_FALSE(mover.installFolder().inHomeFolder);
}

TEST_F(AppMoverTest, DownloadsFolderIsTheOneTheUserNamed)
{
    QDir().mkpath(home.filePath(".config"));
    QFile userDirs(home.filePath(".config/user-dirs.dirs"));
    userDirs.open(QIODevice::WriteOnly);
    userDirs.write("XDG_DOWNLOAD_DIR=\"$HOME/Incoming\"\n");
    userDirs.close();
    EXPECT_TRUE(mover.isInsideDownloadsFolder(home.filePath("Incoming/A.app")));
    EXPECT_FALSE(mover.isInsideDownloadsFolder(home.filePath("Downloads/A.app")));
}

TEST_F(AppMoverTest, OfferSpeaksTheUsersLanguage)
{
    QTranslator german;
    ASSERT_TRUE(
        german.load(TestEnvironment::buildDirectory() + "/share/tapescribe/translations/tapescribe_de.qm"));
    QCoreApplication::installTranslator(&german);
    answerKey = Qt::Key_Escape;
    offerMove(Outcome::GoOnLaunching);
    QCoreApplication::removeTranslator(&german);
    ASSERT_EQ(offers.size(), 1);
    EXPECT_EQ(offers[0].title, "In den Programme-Ordner in Ihrem Benutzerordner verschieben?");
    EXPECT_EQ(offers[0].defaultButton, "In Programme-Ordner verschieben");
}

}
