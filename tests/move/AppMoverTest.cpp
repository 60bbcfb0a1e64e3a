#include "TextPrinting.h"
#include "support/ConsoleLines.h"
#include "support/Files.h"
#include "support/StandInTool.h"
#include "support/TestEnvironment.h"

#include "move/AppMover.h"
#include "move/MoveStrings.h"
#include "move/ShellScripts.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString suppressKey = "moveToApplicationsFolderAlertSuppress";
const QString moving = "INFO -- Moving myself to the Applications folder";
using Outcome = AppMover::LaunchOutcome;

// A folder laid out like a tapeScribe bundle whose executable and extended-attribute tool are scripts: the
// executable writes `startedLine` (a shell word list, expanded when it runs) into `marker`, the tool writes
// its arguments into `marker`.xattr, one a line.
void makeFakeBundle(const QString& bundle, const QString& marker, const QString& startedLine = "\"$0\"")
{
    writeStandInTool(bundle + "/bin/tapescribe",
        QStringLiteral("printf '%s\\n' %1 > %2").arg(startedLine, shellQuoted(marker)));
    writeStandInTool(
        bundle + "/libexec/tapescribe-xattr", "printf '%s\\n' \"$@\" > " + shellQuoted(marker + ".xattr"));
}

// The console lines that a call writes.
// Refuses each operation that `refused` names with its path ("trash /a/path"); a test that runs as root
// could otherwise write anywhere.
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
        return refused.contains("trash " + path) ? refusal : FileManager::trashItemAtPath(path);
    }
    std::optional<FileError> removeItemAtPath(const QString& path) override
    {
        return refused.contains("remove " + path) ? refusal : FileManager::removeItemAtPath(path);
    }
    std::optional<FileError> copyItemAtPath(const QString& source, const QString& destination) override
    {
        return refused.contains("copy " + source) ? refusal
                                                  : FileManager::copyItemAtPath(source, destination);
    }

private:
    const FileError refusal { "Refused", "Refused by the test" };
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
    // Each offer as its title, informative text, default and escape buttons and checkbox point size.
    QList<QStringList> offers;
    QStringList otherAlerts, administratorCommands, detachedScripts;
    std::optional<QString> administratorRefusal;
    bool relaunchStarts = true;

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
            return relaunchStarts;
        };
    }

    // The user answers the offer with a key, through the real modal loop.
    void answer(QMessageBox& alert)
    {
        if (!alert.checkBox())
            return otherAlerts.append(alert.text());
        offers.append({ alert.text(), alert.informativeText(), alert.defaultButton()->text(),
            alert.escapeButton()->text(), QString::number(alert.checkBox()->font().pointSize()) });
        QTimer::singleShot(0, &alert, [this, &alert] {
            alert.checkBox()->setChecked(tickCheckbox);
            QTest::keyClick(&alert, answerKey);
        });
        alert.exec();
    }

    // Stands for pkexec: the command line runs in a plain shell, as the administrator's would.
    MovePlatform::AdministratorRun runAsAdministrator(const QString& commandLine)
    {
        administratorCommands.append(commandLine);
        if (administratorRefusal)
            return { std::nullopt, *administratorRefusal };
        if (QProcess::execute("/bin/sh", { "-c", commandLine }) != 0)
            return { std::nullopt, {} };
        return { QString(), {} };
    }

    QStringList offerMove(Outcome expected)
    {
        Outcome outcome {};
        const QStringList lines = consoleLinesOf([&] { outcome = mover.offerMove(); });
        EXPECT_EQ(outcome, expected);
        return lines;
    }
};

TEST_F(AppMoverTest, MakesNoOfferForABundleInAnApplicationsFolderOrABuildTree)
{
    bundle = applications + "Old/tapeScribe.app";
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching), QStringList());
    // A build tree, where the tests run, is no bundle.
    mover.mainBundlePath = MovePlatform::bundlePath;
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching), QStringList());
    EXPECT_TRUE(offers.isEmpty());
}

TEST_F(AppMoverTest, OfferNamesTheTargetAddsAtMostOneNoteAndSpeaksTheUsersLanguage)
{
    answerKey = Qt::Key_Escape;
    bundle = home.filePath("Elsewhere/tapeScribe.app");
    offerMove(Outcome::GoOnLaunching);
    bundle = home.filePath("Downloads/tapeScribe.app");
    offerMove(Outcome::GoOnLaunching);
    QDir().mkpath(destination);
    files.readOnly.insert(destination);
    offerMove(Outcome::GoOnLaunching);
    QTranslator german;
    ASSERT_TRUE(
        german.load(TestEnvironment::buildDirectory() + "/share/tapescribe/translations/tapescribe_de.qm"));
    QCoreApplication::installTranslator(&german);
    offerMove(Outcome::GoOnLaunching);
    QCoreApplication::removeTranslator(&german);
    QDir(applications).removeRecursively();
    files.readOnly.insert("/opt");
    offerMove(Outcome::GoOnLaunching);

    const QString homeTitle = "Move to Applications folder in your Home folder?";
    const QString question = "I can move myself to the Applications folder if you'd like.";
    const QString password = question + " Note that this will require an administrator password.";
    const QStringList buttons { "Move to Applications Folder", "Do Not Move", "10" };
    EXPECT_EQ(offers,
        QList<QStringList>({ QStringList { homeTitle, question } + buttons,
            QStringList { homeTitle, question + " This will keep your Downloads folder uncluttered." }
                + buttons,
            QStringList { homeTitle, password } + buttons,
            { "In den Programme-Ordner in Ihrem Benutzerordner verschieben?",
                "Ich kann mich in den Programme-Ordner verschieben, wenn Sie möchten. "
                "Dazu ist ein Administratorpasswort nötig.",
                "In Programme-Ordner verschieben", "Nicht verschieben", "10" },
            QStringList { "Move to Applications folder?", password } + buttons }));
}

TEST_F(AppMoverTest, OnlyDecliningWithTheCheckboxTickedSuppressesTheOffer)
{
    answerKey = Qt::Key_Escape;
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching), QStringList());
    tickCheckbox = true;
    answerKey = Qt::Key_Return;
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, "relaunch" }));
    EXPECT_FALSE(QSettings().value(suppressKey).toBool());

    bundle = home.filePath("Downloads/Second.app");
    makeFakeBundle(bundle, home.filePath("started"));
    answerKey = Qt::Key_Escape;
    offerMove(Outcome::GoOnLaunching);
    EXPECT_TRUE(QSettings().value(suppressKey).toBool());
    // From now on nothing is shown or logged, not even for a bundle in the Downloads folder.
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching), QStringList());
    EXPECT_EQ(offers.size(), 3);
}

// Every file of a folder tree (the folders too), as `find` lists them.
QStringList treeOf(const QString& folder)
{
    QStringList entries { folder };
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    return entries;
}

TEST_F(AppMoverTest, AdministratorInstallIsOneCommandThatReplacesTheOldCopyOnlyOnceTheNewOneIsComplete)
{
    bundle = home.filePath("Downloads/it's $(touch pwned) `touch pwned` \"x\" \\\nline.app");
    destination = applications + "/" + QFileInfo(bundle).fileName();
    makeFakeBundle(bundle, home.filePath("started"));
    makeFakeBundle(destination, home.filePath("old"));
    const QString oldCopy = Files::text(destination + "/bin/tapescribe");
    files.readOnly.insert(destination);
    const QStringList folderBefore
        = QDir(applications).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const QString install
        = administratorCommandLine("/bin/sh", { "-c", installScript(), "sh", bundle, destination });

    // The password prompt is cancelled: nothing ran, and the old copy stays as it was.
    administratorRefusal = "The request for administrator rights was dismissed";
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching),
        QStringList({ moving, "Error running process as administrator: " + *administratorRefusal,
            "ERROR -- Could not copy myself to /Applications with authorization" }));
    EXPECT_EQ(administratorCommands, QStringList(install));
    EXPECT_EQ(Files::text(destination + "/bin/tapescribe"), oldCopy);
    EXPECT_TRUE(QFile::exists(bundle));

    // The copy fails half-way (its source is gone): the old copy stays, and nothing is left beside it.
    administratorRefusal.reset();
    EXPECT_FALSE(mover.installWithAdministratorRights(home.filePath("Downloads/gone.app"), destination));
    EXPECT_EQ(Files::text(destination + "/bin/tapescribe"), oldCopy);
    EXPECT_EQ(
        QDir(applications).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), folderBefore);

    // A bundle the user could make into a program that rewrites itself, or runs with its owner's rights.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        for (const QString& entry : treeOf(bundle))
            ASSERT_EQ(::lchown(QFile::encodeName(entry).constData(), 4242, 4242), 0) << entry.toStdString();
        ASSERT_EQ(::chmod(QFile::encodeName(bundle + "/bin/tapescribe").constData(), 06777), 0);
    }

    // The install goes through with one password prompt.
    administratorCommands.clear();
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, "relaunch" }));
    EXPECT_EQ(administratorCommands, QStringList(install));
    EXPECT_TRUE(Files::text(destination + "/bin/tapescribe").contains(home.filePath("started")));
    EXPECT_TRUE(QFileInfo(destination + "/bin/tapescribe").isExecutable());
    EXPECT_EQ(
        QDir(applications).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), folderBefore);
    EXPECT_FALSE(QFile::exists(bundle));
    EXPECT_FALSE(QFile::exists(home.filePath("pwned")) || QFile::exists("pwned"));
    // The copy belongs to whoever installed it (the administrator), and only its owner may change it.
    for (const QString& entry : treeOf(destination)) {
        const QFileInfo info(entry);
        if (asRoot) {
            EXPECT_EQ(info.ownerId(), 0u) << entry.toStdString();
        }
        EXPECT_FALSE(info.permissions() & (QFile::WriteGroup | QFile::WriteOther)) << entry.toStdString();
    }
    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(destination + "/bin/tapescribe").constData(), &status), 0);
    EXPECT_EQ(status.st_mode & (S_ISUID | S_ISGID), 0u);

    // Refused before anyone is asked for a password: only a bundle may be replaced, and an empty path would
    // make the replacement reach far wider than one bundle.
    EXPECT_FALSE(mover.installWithAdministratorRights(bundle, applications + "/tapeScribe"));
    EXPECT_FALSE(mover.installWithAdministratorRights(" \t", destination));
    EXPECT_EQ(administratorCommands.size(), 1);

    administratorRefusal = "";
    std::optional<QString> output;
    EXPECT_EQ(consoleLinesOf([&] { output = mover.runAsAdministrator("/bin/true", {}); }),
        QStringList("Error running process as administrator."));
    EXPECT_FALSE(output);
}

// The copy that runs at the destination is started again, which brings it forward; this process lets go
// of being the one instance first, so that the start does not hand over to it.
TEST_F(AppMoverTest, RunningCopyAtTheDestinationIsBroughtForward)
{
    const QString left = home.filePath("left");
    mover.leaveSingleInstance = [&] { QFile(left).open(QIODevice::WriteOnly); };
    makeFakeBundle(destination, home.filePath("brought forward"),
        "\"$0\" $([ -e " + shellQuoted(left) + " ] && echo after-leaving)");
    QFile::copy("/bin/sleep", destination + "/bin/sleeper");
    QProcess running;
    running.start(destination + "/bin/sleeper", { "600" });
    ASSERT_TRUE(running.waitForStarted());
    const QString switching = "INFO -- Switching to an already running version";
    EXPECT_EQ(offerMove(Outcome::EndProcess), QStringList({ moving, switching }));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return Files::text(home.filePath("brought forward"))
                == destination + "/bin/tapescribe\nafter-leaving\n";
        },
        10000))
        << Files::text(home.filePath("brought forward")).toStdString();
    EXPECT_TRUE(QFile::exists(bundle));
    EXPECT_TRUE(detachedScripts.isEmpty());

    // A copy that cannot be started is reported, and this one goes on.
    mover.openBundle = [](const QString&) { return false; };
    EXPECT_EQ(offerMove(Outcome::GoOnLaunching),
        QStringList({ moving, switching, "ERROR -- Could not start " + destination + "/bin/tapescribe" }));
    EXPECT_EQ(otherAlerts, QStringList(MoveStrings::localized().couldNotRelaunch));
    running.kill();
    running.waitForFinished();
}

// Each end of an accepted move that needs no administrator rights, with an old copy at the destination.
TEST_F(AppMoverTest, MoveReplacesTheOldCopyOrStopsWhereAFileOperationFails)
{
    const QString couldNotTrash = "Ooops! Something went wrong: Refused by the test";
    const QString couldNotDelete = "WARNING -- Could not delete '" + bundle + "': Refused";
    const struct
    {
        QSet<QString> refused;
        bool relaunchStarts;
        Outcome outcome;
        QStringList lines, alerts;
        bool bundleStays;
    } rows[] = {
        { { "trash " + destination }, true, Outcome::GoOnLaunching,
            { moving, couldNotTrash, "ERROR -- Could not trash " + destination },
            { "Could not move to Applications folder" }, true },
        { { "copy " + bundle }, true, Outcome::GoOnLaunching,
            { moving, "ERROR -- Could not copy '" + bundle + "' to '" + destination + "' (Refused)",
                "Could not copy myself to " + destination },
            { "Refused" }, true },
        { {}, true, Outcome::EndProcess, { moving, "relaunch" }, {}, false },
        // The running copy resists deletion: the Trash takes it, or, failing that too, it stays.
        { { "remove " + bundle }, true, Outcome::EndProcess, { moving, "relaunch", couldNotDelete },
            { "Refused" }, false },
        { { "remove " + bundle, "trash " + bundle }, true, Outcome::EndProcess,
            { moving, "relaunch", couldNotDelete, couldNotTrash, "ERROR -- Could not trash " + bundle,
                "WARNING -- Could not delete application after moving it to Applications folder" },
            { "Refused" }, true },
        // A relaunch that cannot start is said, and the running copy stays to go on.
        { {}, false, Outcome::GoOnLaunching,
            { moving, "relaunch", "ERROR -- Could not start the relaunch of " + destination },
            { MoveStrings::localized().couldNotRelaunch }, true },
    };
    for (const auto& [refused, starts, outcome, lines, alerts, bundleStays] : rows) {
        makeFakeBundle(bundle, home.filePath("started"));
        makeFakeBundle(destination, home.filePath("old"));
        files.refused = refused;
        relaunchStarts = starts;
        otherAlerts.clear();
        EXPECT_EQ(offerMove(outcome), lines);
        EXPECT_EQ(otherAlerts, alerts);
        EXPECT_EQ(QFile::exists(bundle), bundleStays);
    }
    // The data folder is the test mode's (HOME/.qttest/share), as it is for the move itself.
    EXPECT_TRUE(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + "/Trash/files/tapeScribe.app/bin/tapescribe"));
    EXPECT_TRUE(QFileInfo(destination + "/bin/tapescribe").isExecutable());
    EXPECT_EQ(
        detachedScripts, QStringList(4, relaunchScript(QCoreApplication::applicationPid(), destination)));
}

TEST_F(AppMoverTest, InstallFolderIsTheHomeFolderOnlyWhenItHoldsABundle)
{
    EXPECT_EQ(mover.installFolder().folder, applications);
    EXPECT_TRUE(mover.installFolder().inHomeFolder);
    QDir(applications).removeRecursively();
    // Only a name that ends in ".app", in lower case, is a bundle.
    for (const char* entry : { "Utilities", "Tool.APP", "app", ".app.d" }) {
        QDir(applications).mkpath(entry);
        EXPECT_EQ(mover.installFolder().folder, "/opt") << entry;
    }
    QDir(applications).removeRecursively();
    QFile(applications).open(QIODevice::WriteOnly);
    EXPECT_EQ(mover.installFolder().folder, "/opt");
    EXPECT_FALSE(mover.installFolder().inHomeFolder);
}

// The relaunch runs in bash (its `>&` means nothing else in dash), so this is where the waiting and the
// quoting are shown to hold on paths a shell would split, expand or run if one escaped its quotes.
TEST(Relaunch, WaitsForTheProcessToEndThenStartsTheMovedBundleWhateverItsPath)
{
    const QStringList hostileNames { "My App 2.app", "it's.app", "say \"hi\".app", "back\\slash \\'.app",
        "$(touch pwned).app", "`touch pwned`.app", "line\nbreak.app", "'; touch pwned; '.app", "%1 %2.app" };
    // The shell starts in the home folder: whatever a path made it run would leave its traces there.
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QProcess waitedFor;
    waitedFor.start("/bin/sleep", { "600" });
    ASSERT_TRUE(waitedFor.waitForStarted());
    // Each started executable notes whether the process it had to wait for was still there.
    const QString startedLine
        = QStringLiteral("\"$0\" $(/bin/kill -0 %1 2>/dev/null && echo early || echo after)")
              .arg(waitedFor.processId());
    for (const QString& name : hostileNames) {
        makeFakeBundle(home.filePath(name), home.filePath(name) + ".started", startedLine);
        ASSERT_TRUE(MovePlatform::startDetachedShell(relaunchScript(waitedFor.processId(), home.filePath(name))));
    }
    // Time for a script that does not wait to give itself away.
    QTest::qWait(500);
    waitedFor.kill();
    waitedFor.waitForFinished();

    // Each executable is started last, after its extended-attribute tool: once all have written, all ran.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return std::ranges::all_of(hostileNames,
                [&](const QString& name) { return !Files::text(home.filePath(name) + ".started").isEmpty(); });
        },
        30000));
    for (const QString& name : hostileNames) {
        const QString bundle = home.filePath(name);
        EXPECT_EQ(Files::text(bundle + ".started"), bundle + "/bin/tapescribe\nafter\n");
        EXPECT_EQ(Files::text(bundle + ".started.xattr"), "-d\n-r\ncom.apple.quarantine\n" + bundle + "\n");
    }
    EXPECT_FALSE(QFile::exists(home.filePath("pwned")));
}

}
