#include "ClipFixtures.h"
#include "LoggerWindow.h"
#include "support/ConsoleLines.h"
#include "support/LocalTimeZone.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "logform/TimeOffset.h"
#include "support/TestApplication.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimeZone>
#include <QTimer>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using ClipFixtures::Kind;
const QString changed = u"tableViewSelectionDidChange"_s;
const QString removed = u"***** remove observers"_s;

// The lines of the selection handling, without the table's own lines and the timer's ticks; the
// cookie's value depends on the clock, so only its line's place is kept.
QStringList selectionLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines)
        if (!line.startsWith(u"tableView viewForTableColumn"_s)
            && !line.startsWith(u"numberOfRowsInTableView"_s) && line != u"timerDidFire"_s)
            kept.append(line.startsWith(cookiePrefix) ? cookiePrefix : line);
    return kept;
}

TEST(ClipSelection, FirstToFourthToNoneFollowsTheStateTable)
{
    Logger logger { { "a.mp4", Kind::H264Mp4 }, { "b.mp4", Kind::H264Mp4 }, { "c.mp4", Kind::H264Mp4 },
        { "d.mp4", Kind::H264Mp4 }, { "e.mp4", Kind::H264Mp4 } };
    logger.scan();
    ASSERT_EQ(logger.delegate.assets.size(), 5);
    EXPECT_FALSE(logger.table()->selectionModel()->hasSelection());
    EXPECT_EQ(logger.delegate.clipModel.mark(0), ClipModel::Mark::Unset);
    const QList<Clip> assets = logger.delegate.assets;

    // With nothing loaded a change only prints its two lines.
    QStringList lines = consoleLinesOf([&] {
        logger.delegate.tableViewSelectionDidChange();
        logger.select(0);
    });
    EXPECT_EQ(logger.delegate.mediaCreatedTime, assets[0].created());
    EXPECT_EQ(logger.interface.mainWindow()->focusWidget(), logger.delegate.playerView);
    lines += consoleLinesOf([&] { logger.select(3); });
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 3);
    ASSERT_TRUE(logger.player());
    EXPECT_EQ(logger.player()->path(), assets[3].path);
    logger.expectMarks(3);
    QTimer* loadTimer = logger.delegate.secondsTimer.get();
    ASSERT_TRUE(loadTimer && loadTimer->isActive());
    lines += consoleLinesOf([&] { logger.table()->clearSelection(); });
    EXPECT_EQ(selectionLines(lines),
        (QStringList { changed, changed + u", selected = -1, loadedAssetIndex = -1"_s, changed,
            changed + u", selected = 0, loadedAssetIndex = -1"_s, cookiePrefix, assets[0].created(), QString(),
            changed, removed, changed + u", selected = 3, loadedAssetIndex = 0"_s, cookiePrefix,
            assets[3].created(), QString(), changed, removed,
            changed + u", selected = -1, loadedAssetIndex = 3"_s }));

    // Unloaded: no player, the timer stopped but kept, every mark "none"; the stamps stay on the files.
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_EQ(logger.delegate.mediaCreatedTime, u"stopped"_s);
    EXPECT_EQ(logger.delegate.assetPath, assets[3].path);
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.secondsTimer.get(), loadTimer);
    EXPECT_FALSE(loadTimer->isActive());
    logger.expectMarks(-1);
    EXPECT_EQ(storedAttribute(assets[0].path), assets[0].created());
    EXPECT_EQ(storedAttribute(assets[3].path), assets[3].created());
    EXPECT_TRUE(storedAttribute(assets[1].path).isEmpty());
}

TEST(ClipSelection, ScanOfOneClipLoadsItAndANewScanUnloadsIt)
{
    Logger logger { { "x.mov", Kind::ProResMov } };
    logger.scan();
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_EQ(logger.table()->selectionModel()->selectedRows().value(0).row(), 0);
    ASSERT_TRUE(logger.waitUntilOpened());

    // A single chosen file is the same as a folder holding only it.
    ClipFixtures::copy(Kind::ProResMov, logger.path("y.mov"));
    logger.choose(logger.path("y.mov"));
    ASSERT_EQ(logger.delegate.assets.size(), 1);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_EQ(logger.player()->path(), logger.path("y.mov"));

    logger.scan();
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.mediaCreatedTime, u"stopped"_s);
    EXPECT_TRUE(logger.table()->isEnabled());

    // A cancelled panel changes nothing.
    logger.select(1);
    logger.delegate.runOpenPanel = [](const QStringList&) { return std::optional<QString>(); };
    logger.delegate.showOpenPanel();
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 1);
    EXPECT_EQ(logger.delegate.assets.size(), 2);
}

TEST(ClipSelection, KeyboardPicksTheFirstClipAfterAScan)
{
    Logger logger { { "a.mov", Kind::ProResMov }, { "b.mov", Kind::ProResMov },
        { "c.mov", Kind::ProResMov } };
    logger.interface.mainWindow()->activateWindow();
    for (Qt::Key key : { Qt::Key_Down, Qt::Key_Return }) {
        logger.scan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return logger.table()->hasFocus(); }, 5000));
        QTest::keyClick(logger.table(), key);
        EXPECT_EQ(logger.delegate.loadedAssetIndex, logger.row(u"a.mov"_s)) << key;
        EXPECT_TRUE(logger.delegate.playerView->hasFocus());
    }
}

// The player's keys are actions in the Player menu, with their shortcuts, usable once a clip is loaded.
// They act where the player has the focus; in the clip table the same keys are the table's.
TEST(ClipSelection, PlayerKeysAreMenuActionsThatActWhereThePlayerHasTheFocus)
{
    Logger logger { { "a.mp4", Kind::H264Mp4 }, { "b.mp4", Kind::H264Mp4 } };
    auto* playerMenu = logger.window()->findChild<QMenu*>(u"playerMenu"_s);
    ASSERT_TRUE(playerMenu);
    QStringList shortcuts;
    for (const QAction* action : playerMenu->actions())
        if (!action->shortcut().isEmpty()) {
            shortcuts.append(action->shortcut().toString());
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
        }
    EXPECT_EQ(shortcuts,
        QStringList({ u"Space"_s, u"J"_s, u"K"_s, u"L"_s, u"Left"_s, u"Right"_s, u"Shift+Left"_s,
            u"Shift+Right"_s, u"Home"_s, u"M"_s, u"Up"_s, u"Down"_s }));

    logger.scan();
    logger.select(logger.row(u"a.mp4"_s));
    ASSERT_TRUE(logger.waitUntilOpened());
    ASSERT_TRUE(logger.delegate.playerView->hasFocus());
    QTest::keyClick(logger.delegate.playerView, Qt::Key_Right);
    EXPECT_TRUE(logger.waitForTime(0.04));

    logger.table()->setFocus();
    QTest::keyClick(logger.table(), Qt::Key_Space);
    EXPECT_EQ(logger.player()->rate(), 0.0);
    QTest::keyClick(logger.table(), Qt::Key_Down);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, logger.row(u"b.mp4"_s));

    // Chosen from the menu, an action acts wherever the focus is.
    ASSERT_TRUE(logger.waitUntilOpened());
    logger.table()->setFocus();
    for (QAction* action : playerMenu->actions())
        if (action->shortcut() == QKeySequence(Qt::Key_L))
            action->trigger();
    EXPECT_EQ(logger.player()->rate(), 1.0);
}

TEST(ClipSelection, EndOfClipUnloadsAndNothingElseStarts)
{
    Logger logger { { "a.mp4", Kind::ShortMp4 }, { "b.mp4", Kind::ShortMp4 } };
    logger.scan();
    logger.select(0);
    ASSERT_TRUE(logger.waitUntilOpened());
    bool unloaded = false;
    const QStringList lines = selectionLines(consoleLinesOf([&] {
        logger.player()->setRate(1);
        unloaded = QTest::qWaitFor([&] { return logger.delegate.loadedAssetIndex == -1; }, loadLimit);
        // Whatever the unload queued runs before the lines are read: nothing may start from it.
        QCoreApplication::processEvents();
    }));
    ASSERT_TRUE(unloaded);
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.mediaCreatedTime, u"stopped"_s);
    EXPECT_TRUE(logger.table()->isEnabled());
    EXPECT_FALSE(logger.table()->selectionModel()->hasSelection());
    const qsizetype end = lines.indexOf(u"playerItemDidReachEnd"_s);
    ASSERT_GE(end, 0) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.mid(end + 1),
        (QStringList { changed, removed, changed + u", selected = -1, loadedAssetIndex = 0"_s }));
}

// The seconds that the cookie line written by `call` holds, and what the present moment allowed for them:
// the offset of the recording moment under the play head from the present just before the call and just
// after it. A value between the two is right however slowly the call ran.
struct CookieOffset
{
    double written;
    double earliest;
    double latest;
};

CookieOffset cookieOffsetOf(const Logger& logger, const std::function<void()>& call)
{
    const QDateTime before = QDateTime::currentDateTimeUtc();
    const double written = cookieSecondsOf(call);
    const QDateTime after = QDateTime::currentDateTimeUtc();
    // The call may be the load that sets the recording start; the paused play head stands still.
    const QDateTime created = *logger.delegate.dateFormatter.dateFromString(logger.delegate.mediaCreatedTime);
    const double playhead = logger.player()->currentTime();
    return { written, TimeOffset::secondsBetween(before, created, playhead),
        TimeOffset::secondsBetween(after, created, playhead) };
}

void expectWithin(const CookieOffset& offset)
{
    EXPECT_GE(offset.written, offset.earliest);
    EXPECT_LE(offset.written, offset.latest);
}

TEST(ClipSelection, CookieFollowsThePlayHead)
{
    Logger logger { { "long.mp4", Kind::LongMp4 } };
    // The scan loads the one clip, with its play head at the start.
    const CookieOffset atLoad = cookieOffsetOf(logger, [&] { logger.scan(); });
    ASSERT_EQ(logger.delegate.loadedAssetIndex, 0);
    expectWithin(atLoad);

    // Seeking back a minute raises the offset by that minute.
    ASSERT_TRUE(logger.waitUntilOpened());
    logger.player()->seek(65);
    ASSERT_TRUE(logger.waitForTime(65));
    expectWithin(cookieOffsetOf(logger, [&] { logger.delegate.setTimeOffsetCookie(); }));
    logger.player()->seekBy(-60);
    ASSERT_TRUE(logger.waitForTime(5));
    expectWithin(cookieOffsetOf(logger, [&] { logger.delegate.setTimeOffsetCookie(); }));

    // The timer keeps it current every second while the clip is loaded, and stops with the unload.
    QSignalSpy ticks(logger.delegate.secondsTimer.get(), &QTimer::timeout);
    bool ticked = false;
    const QStringList tick = consoleLinesOf([&] { ticked = ticks.wait(5000); });
    ASSERT_TRUE(ticked);
    EXPECT_TRUE(tick.value(tick.indexOf(u"timerDidFire"_s) + 1).startsWith(cookiePrefix));
    logger.table()->clearSelection();
    EXPECT_FALSE(logger.delegate.secondsTimer->isActive());
}

TEST(ClipSelection, CookieAndTimeOfDayFollowThePlayHeadBackwards)
{
    // The time of day is expected from Qt's own zone data, not from the C library the player reads it from.
    const LocalTimeZone local("America/St_Johns");
    const QTimeZone zone("America/St_Johns");
    // A keyframe only every 50 s of this clip: J first steps back to it, then plays backwards.
    Logger logger { { "long.mp4", Kind::LongMp4 } };
    logger.scan();
    ASSERT_TRUE(logger.waitUntilOpened());
    const QDateTime created
        = *logger.delegate.dateFormatter.dateFromString(logger.delegate.assets[0].created());
    logger.player()->seek(65);
    ASSERT_TRUE(logger.waitForTime(65));
    QTest::keyClick(logger.delegate.playerView, Qt::Key_J);
    QTest::keyClick(logger.delegate.playerView, Qt::Key_J);

    // Each cookie is the present minus the recording time under the play head, wherever the play head
    // has gone; the time of day under it goes back with it.
    double lastPosition = 65;
    for (double below : { 62.0, 55.0, 48.0 }) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return logger.player()->currentTime() < below; }, loadLimit));
        double position = 0;
        const double cookie = cookieSecondsOf([&] {
            position = logger.player()->currentTime();
            logger.delegate.setTimeOffsetCookie();
        });
        const double expected
            = double(created.secsTo(QDateTime::currentDateTimeUtc())) - std::floor(position);
        EXPECT_NEAR(cookie, expected, 1.0) << position;
        EXPECT_LT(position, lastPosition);
        lastPosition = position;
        EXPECT_EQ(logger.delegate.playerView->recordingTimeText(),
            created.addMSecs(qint64(std::floor(position * 1000))).toTimeZone(zone).toString(u"HH:mm:ss"_s));
    }
}

TEST(ClipSelection, SelectionChangeDuringReversePlayOpensTheNextClipForwards)
{
    Logger logger { { "a.mp4", Kind::GopMp4 }, { "b.mp4", Kind::GopMp4 } };
    logger.scan();
    logger.select(0);
    ASSERT_TRUE(logger.waitUntilOpened());
    logger.player()->seek(5);
    ASSERT_TRUE(logger.waitForTime(5));
    QTest::keyClick(logger.delegate.playerView, Qt::Key_J);
    ASSERT_TRUE(QTest::qWaitFor([&] { return logger.player()->currentTime() < 4.5; }, loadLimit));

    logger.select(1);
    ASSERT_TRUE(logger.waitUntilOpened());
    EXPECT_EQ(logger.player()->rate(), 0.0);
    EXPECT_EQ(logger.player()->currentTime(), 0.0);
    const double cookie = cookieSecondsOf([&] { logger.delegate.setTimeOffsetCookie(); });
    const QDateTime created
        = *logger.delegate.dateFormatter.dateFromString(logger.delegate.assets[1].created());
    EXPECT_NEAR(cookie, double(created.secsTo(QDateTime::currentDateTimeUtc())), 1.0);
    // Opened forwards: L plays on from the start.
    QTest::keyClick(logger.delegate.playerView, Qt::Key_L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return logger.player()->currentTime() > 0.5; }, loadLimit));
}

TEST(ClipSelection, JAtTheFirstFrameStaysThereAndTheNextClipOpensAtItsStart)
{
    Logger logger { { "a.mp4", Kind::GopMp4 }, { "b.mov", Kind::ProResLongMov } };
    logger.scan();
    logger.select(0);
    ASSERT_TRUE(logger.waitUntilOpened());
    QTest::keyClick(logger.delegate.playerView, Qt::Key_J);
    QTest::keyClick(logger.delegate.playerView, Qt::Key_J);
    // Nothing lies before the first frame: the shuttle stops there.
    ASSERT_TRUE(QTest::qWaitFor([&] { return logger.player()->rate() == 0; }, loadLimit));
    EXPECT_EQ(logger.player()->currentTime(), 0.0);

    logger.select(1);
    ASSERT_TRUE(logger.waitUntilOpened());
    EXPECT_EQ(logger.player()->currentTime(), 0.0);
    QTest::keyClick(logger.delegate.playerView, Qt::Key_L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return logger.player()->currentTime() > 0.5; }, loadLimit));
}

TEST(PlayerMenu, HardwareDecodingIsKeptAndTurnsOffWhileAClipPlays)
{
    const auto item = [](const Logger& logger) {
        return logger.interface.mainWindow()->findChild<QAction*>(u"actionHardwareDecoding"_s);
    };
    {
        Logger logger { { "a.mp4", Kind::GopMp4 } };
        ASSERT_TRUE(item(logger));
        EXPECT_TRUE(item(logger)->isCheckable());
        EXPECT_TRUE(item(logger)->isChecked());
        logger.scan();
        ASSERT_TRUE(logger.waitUntilOpened());
        logger.player()->setRate(1);
        item(logger)->trigger();
        EXPECT_FALSE(QSettings().value(u"player/hardwareDecoding"_s).toBool());
        // The decoder starts again at the frame on screen, and the clip plays on.
        const double at = logger.player()->currentTime();
        EXPECT_TRUE(QTest::qWaitFor([&] { return logger.player()->currentTime() > at + 0.5; }, loadLimit));
        EXPECT_FALSE(logger.player()->failure());
    }
    // The next start keeps the choice.
    Logger logger {};
    EXPECT_FALSE(item(logger)->isChecked());
    item(logger)->trigger();
    EXPECT_TRUE(QSettings().value(u"player/hardwareDecoding"_s).toBool());
}

TEST(ClipSelection, UndecodableClipsShowTheErrorAndTheNextClipLoads)
{
    Logger logger { { "good.mp4", Kind::H264Mp4 } };
    QFile(logger.path("empty.mov")).open(QIODevice::WriteOnly);
    QFile corrupt(logger.path("corrupt.mxf"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(65536, '\x5a'));
    corrupt.close();
    logger.scan();
    ASSERT_EQ(logger.delegate.assets.size(), 3);

    for (const QString& broken : { u"empty.mov"_s, u"corrupt.mxf"_s }) {
        logger.select(logger.row(broken));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !logger.delegate.playerView->messageText().isEmpty(); }, loadLimit))
            << broken.toStdString();
        EXPECT_TRUE(logger.player()->failure());
        EXPECT_EQ(logger.delegate.loadedAssetIndex, logger.row(broken));
    }
    QSignalSpy drawn(logger.delegate.playerView, &PlayerView::frameDrawn);
    logger.select(logger.row(u"good.mp4"_s));
    ASSERT_TRUE(logger.waitUntilOpened());
    EXPECT_TRUE(drawn.count() > 0 || drawn.wait(loadLimit));
    EXPECT_FALSE(logger.player()->failure());
    EXPECT_TRUE(logger.delegate.playerView->messageText().isEmpty());
}

// A clip that refuses every change, its extended attributes included. Read-only permissions do not stop
// root, which the tests may run as; the immutable flag (ext4, XFS, Btrfs, tmpfs) stops everyone, so it
// is set where it can be. The flag goes when the object does, so that the folder can be removed.
class UnwritableClip
{
public:
    explicit UnwritableClip(const QString& path)
        : path(QFile::encodeName(path))
    {
        immutable = changeFlags(FS_IMMUTABLE_FL, true);
        if (!immutable)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    ~UnwritableClip()
    {
        if (immutable)
            changeFlags(FS_IMMUTABLE_FL, false);
    }

    // Whether writing an extended attribute really fails.
    bool refusesAttributes() const { return ::setxattr(path.constData(), "user.probe", "1", 1, 0) != 0; }

private:
    bool changeFlags(int flag, bool set) const
    {
        const int file = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (file < 0)
            return false;
        int flags = 0;
        bool changed = ::ioctl(file, FS_IOC_GETFLAGS, &flags) == 0;
        flags = set ? flags | flag : flags & ~flag;
        changed = changed && ::ioctl(file, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(file);
        return changed;
    }

    QByteArray path;
    bool immutable = false;
};

TEST(ClipSelection, ProfessionalFormatsDrawAFrameAndUnwritableClipsLoad)
{
    Logger logger { { "prores.mov", Kind::ProResMov }, { "dnxhr.mxf", Kind::DnxhrMxf },
        { "mpeg2.mxf", Kind::Mpeg2Mxf } };
    const UnwritableClip unwritable(logger.path("prores.mov"));
    if (!unwritable.refusesAttributes())
        GTEST_SKIP() << "this file system lets the test's user write any file";
    logger.scan();
    ASSERT_EQ(logger.delegate.assets.size(), 3);
    for (int row = 0; row < 3; ++row) {
        QSignalSpy drawn(logger.delegate.playerView, &PlayerView::frameDrawn);
        logger.select(row);
        ASSERT_TRUE(drawn.wait(loadLimit)) << logger.delegate.assets[row].name.toStdString();
        EXPECT_FALSE(logger.player()->failure());
        EXPECT_TRUE(logger.waitUntilOpened());
        EXPECT_TRUE(logger.delegate.secondsTimer->isActive());
    }
    // The stamp failed on the unwritable clip alone.
    EXPECT_TRUE(storedAttribute(logger.path("prores.mov")).isEmpty());
    EXPECT_EQ(storedAttribute(logger.path("dnxhr.mxf")),
        logger.delegate.assets[logger.row(u"dnxhr.mxf"_s)].created());
}

// Whether any pixel of the widget as drawn is pure red.
bool showsRed(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(Qt::red))
                return true;
    return false;
}

TEST(UntrustedNames, AFolderAndAClipNamedWithMarkupShowAsPlainText)
{
    Logger logger {};
    // Markup that would show a red picture, from a file beside it, if it were rendered. A name holds no
    // slash, so no closing tag.
    QImage red(16, 16, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(logger.path("red.png")));
    const QString folderName = u"<b>Card <img src=\"red.png\" width=\"40\" height=\"40\">"_s;
    const QString clipName = u"<i>A001<img src=\"red.png\">.mov"_s;
    ASSERT_TRUE(QDir(logger.folder.path()).mkdir(folderName));
    const QString card = logger.folder.filePath(folderName);
    ClipFixtures::copy(Kind::ProResMov, card + u'/' + clipName);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(logger.folder.path());

    logger.scan();
    logger.choose(card);
    ASSERT_EQ(logger.delegate.assets.size(), 1);
    QLabel* label = logger.delegate.label;
    EXPECT_TRUE(label->text().contains(folderName)) << label->text().toStdString();
    EXPECT_FALSE(showsRed(label));
    // The name in the table, and the path in its tool tip, are the text itself.
    const QModelIndex row = logger.table()->model()->index(0, 0);
    EXPECT_EQ(row.data(Qt::DisplayRole).toString(), clipName);
    QTextDocument toolTip;
    toolTip.setHtml(row.data(Qt::ToolTipRole).toString());
    EXPECT_EQ(toolTip.toPlainText(), card + u'/' + clipName);
    EXPECT_FALSE(showsRed(logger.table()->viewport()));

    // A folder that cannot be listed is named in the label the same way.
    logger.choose(card + u"/missing <img src=\"red.png\">"_s);
    EXPECT_TRUE(label->text().contains(u"missing <img"_s)) << label->text().toStdString();
    EXPECT_FALSE(showsRed(label));
    QDir::setCurrent(previous);
}

TEST(OpenPaths, ScansAPathAsIfChosenInThePanel)
{
    Logger logger { { "a.mov", Kind::ProResMov }, { "b.mov", Kind::ProResMov } };
    // A trailing separator and a relative path give the same records as the panel would.
    logger.delegate.openPaths({ logger.folder.path() + u"/"_s });
    ASSERT_EQ(logger.delegate.assets.size(), 2);
    EXPECT_EQ(logger.delegate.assets[0].path, logger.folder.filePath(logger.delegate.assets[0].name));
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_TRUE(logger.delegate.label->text().contains(u"2 clips"_s));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(logger.folder.path());
    logger.delegate.openPaths({ u"b.mov"_s });
    QDir::setCurrent(previous);
    ASSERT_EQ(logger.delegate.assets.size(), 1);
    EXPECT_EQ(logger.delegate.assets[0].path, logger.path("b.mov"));
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_TRUE(logger.player());

    // No path only brings the window forward; a missing one ends with an empty table.
    logger.delegate.openPaths({});
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    logger.delegate.openPaths({ logger.path("gone") });
    EXPECT_TRUE(logger.delegate.assets.isEmpty());
    EXPECT_EQ(logger.table()->model()->rowCount(), 0);
    EXPECT_TRUE(logger.table()->isEnabled());
}

TEST(ProfessionalFormatCheck, StaysSilentWhenThePlayerHasThemAll)
{
    // Before the logger, whose delegate keeps the function that appends to it.
    QStringList told;
    Logger logger {};
    logger.delegate.showFormatWarning = [&](const QString& message) { told.append(message); };
    QSignalSpy answered(&logger.delegate.professionalFormatCheck, &QFutureWatcherBase::finished);
    logger.delegate.checkProfessionalFormats();
    ASSERT_TRUE(answered.wait(30'000));
    EXPECT_TRUE(told.isEmpty()) << told.join(u'\n').toStdString();
    // Asked once a launch: a second call starts nothing.
    logger.delegate.checkProfessionalFormats();
    EXPECT_FALSE(answered.wait(200));
}

}
