#include "ClipFixtures.h"
#include "ConsoleCapture.h"

#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include "BuildConfig.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include <sys/xattr.h>

namespace {

using ClipFixtures::Kind;
constexpr int loadLimit = 30'000;
const QString cookiePrefix = QStringLiteral("setTimeOffsetCookie: secondsBetween = ");

// tapeScribe's window as its start builds it, shown, with the open panel answered by the test.
struct Logger
{
    AppDelegate delegate;
    MainInterface interface;
    QString chosenPath;

    Logger()
    {
        interface.connectTo(delegate);
        delegate.awakeFromNib();
        delegate.runOpenPanel = [this](const QStringList&) { return std::optional<QString>(chosenPath); };
        interface.mainWindow()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(interface.mainWindow()));
    }

    void choose(const QString& path)
    {
        chosenPath = path;
        delegate.showOpenPanel();
    }
    QTableView* table() const { return delegate.tableView; }
    MpvPlayer* player() const { return delegate.playerView->player(); }
    void select(int row) const { table()->selectRow(row); }
    bool waitUntilOpened() const
    {
        return QTest::qWaitFor([this] { return player() && player()->duration() > 0; }, loadLimit);
    }
    ClipModel::Mark mark(int row) const { return delegate.clipModel.mark(row); }
};

// A folder holding copies of clips under the given names.
struct ClipFolder
{
    QTemporaryDir folder;
    ClipFolder(std::initializer_list<std::pair<const char*, Kind>> clips)
    {
        for (const auto& [name, kind] : clips)
            ClipFixtures::copy(kind, path(name));
    }
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }
};

// The lines of the selection handling, without the table's own lines and the timer's ticks.
QStringList selectionLines(const QStringList& lines)
{
    QStringList kept;
    for (const QString& line : lines) {
        if (!line.startsWith(QStringLiteral("tableView viewForTableColumn"))
            && !line.startsWith(QStringLiteral("numberOfRowsInTableView"))
            && line != QStringLiteral("timerDidFire"))
            kept.append(line);
    }
    return kept;
}

QString storedAttribute(const QString& path)
{
    char value[256] = {};
    const ssize_t size = ::getxattr(
        QFile::encodeName(path).constData(), "user.com.FernwrightSystem.logStartTime", value, sizeof value);
    return size < 0 ? QString() : QString::fromUtf8(value, size);
}

double cookieSeconds(const QString& line)
{
    return line.mid(cookiePrefix.size()).toDouble();
}

TEST(ClipSelection, FirstToFourthToNoneFollowsTheStateTable)
{
    ClipFolder clips { { "a.mp4", Kind::H264Mp4 }, { "b.mp4", Kind::H264Mp4 }, { "c.mp4", Kind::H264Mp4 },
        { "d.mp4", Kind::H264Mp4 }, { "e.mp4", Kind::H264Mp4 } };
    Logger logger;
    logger.choose(clips.folder.path());
    ASSERT_EQ(logger.delegate.assets.size(), 5);
    EXPECT_FALSE(logger.table()->selectionModel()->hasSelection());
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_EQ(logger.mark(0), ClipModel::Mark::Unset);
    const QList<Clip> assets = logger.delegate.assets;

    ConsoleCapture console;
    logger.select(0);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_EQ(logger.delegate.mediaCreatedTime, assets[0].created);
    EXPECT_TRUE(logger.delegate.secondsTimer && logger.delegate.secondsTimer->isActive());
    EXPECT_EQ(logger.interface.mainWindow()->focusWidget(), logger.delegate.playerView);
    logger.select(3);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 3);
    EXPECT_EQ(logger.delegate.assetPath, assets[3].path);
    ASSERT_TRUE(logger.player());
    EXPECT_EQ(logger.player()->path(), assets[3].path);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(logger.mark(row), row == 3 ? ClipModel::Mark::Unavailable : ClipModel::Mark::None) << row;
    QTimer* loadTimer = logger.delegate.secondsTimer.get();
    logger.table()->clearSelection();

    // The cookie's value depends on the clock: only its line's place is compared.
    QStringList lines = selectionLines(console.lines());
    for (QString& line : lines)
        if (line.startsWith(cookiePrefix))
            line = cookiePrefix;
    const QString changed = QStringLiteral("tableViewSelectionDidChange");
    const QString removed = QStringLiteral("***** remove observers");
    EXPECT_EQ(lines,
        (QStringList { changed, changed + QStringLiteral(", selected = 0, loadedAssetIndex = -1"),
            cookiePrefix, assets[0].created, QString(), changed, removed,
            changed + QStringLiteral(", selected = 3, loadedAssetIndex = 0"), cookiePrefix, assets[3].created,
            QString(), changed, removed,
            changed + QStringLiteral(", selected = -1, loadedAssetIndex = 3") }));

    // Unloaded: no player, the timer stopped but kept, every mark "none"; the stamps stay on the files.
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_EQ(logger.delegate.mediaCreatedTime, QStringLiteral("stopped"));
    EXPECT_EQ(logger.delegate.assetPath, assets[3].path);
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.secondsTimer.get(), loadTimer);
    EXPECT_FALSE(loadTimer->isActive());
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(logger.mark(row), ClipModel::Mark::None) << row;
    EXPECT_EQ(storedAttribute(assets[0].path), assets[0].created);
    EXPECT_EQ(storedAttribute(assets[3].path), assets[3].created);
    EXPECT_TRUE(storedAttribute(assets[1].path).isEmpty());
}

TEST(ClipSelection, ClearingWithNothingLoadedOnlyPrintsItsTwoLines)
{
    ClipFolder clips { { "a.mp4", Kind::H264Mp4 }, { "b.mp4", Kind::H264Mp4 } };
    Logger logger;
    logger.choose(clips.folder.path());
    ConsoleCapture console;
    logger.delegate.tableViewSelectionDidChange();
    EXPECT_EQ(selectionLines(console.lines()),
        (QStringList { QStringLiteral("tableViewSelectionDidChange"),
            QStringLiteral("tableViewSelectionDidChange, selected = -1, loadedAssetIndex = -1") }));
    EXPECT_EQ(logger.delegate.mediaCreatedTime, QStringLiteral("stopped"));
}

TEST(ClipSelection, ScanOfOneClipLoadsItAndANewScanUnloadsIt)
{
    ClipFolder one { { "only.mov", Kind::ProResMov } };
    ClipFolder two { { "x.mov", Kind::ProResMov }, { "y.mov", Kind::ProResMov } };
    Logger logger;
    logger.choose(one.folder.path());
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_EQ(logger.table()->selectionModel()->selectedRows().value(0).row(), 0);
    ASSERT_TRUE(logger.waitUntilOpened());

    // A single chosen file is the same as a folder holding only it.
    logger.choose(two.path("y.mov"));
    ASSERT_EQ(logger.delegate.assets.size(), 1);
    EXPECT_EQ(logger.delegate.assets[0].path, two.path("y.mov"));
    EXPECT_EQ(logger.delegate.loadedAssetIndex, 0);
    EXPECT_EQ(logger.player()->path(), two.path("y.mov"));

    logger.choose(two.folder.path());
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.mediaCreatedTime, QStringLiteral("stopped"));
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
    ClipFolder clips { { "a.mov", Kind::ProResMov }, { "b.mov", Kind::ProResMov },
        { "c.mov", Kind::ProResMov } };
    Logger logger;
    logger.interface.mainWindow()->activateWindow();
    for (Qt::Key key : { Qt::Key_Down, Qt::Key_Return }) {
        logger.choose(clips.folder.path());
        ASSERT_TRUE(QTest::qWaitFor([&] { return logger.table()->hasFocus(); }, 5000));
        QTest::keyClick(logger.table(), key);
        EXPECT_EQ(logger.delegate.loadedAssetIndex, 0) << key;
        EXPECT_TRUE(logger.delegate.playerView->hasFocus());
    }
}

TEST(ClipSelection, EndOfClipUnloadsAndNothingElseStarts)
{
    ClipFolder clips { { "a.mp4", Kind::ShortMp4 }, { "b.mp4", Kind::ShortMp4 } };
    Logger logger;
    logger.choose(clips.folder.path());
    logger.select(0);
    ASSERT_TRUE(logger.waitUntilOpened());
    ConsoleCapture console;
    logger.player()->setRate(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return logger.delegate.loadedAssetIndex == -1; }, loadLimit));
    EXPECT_FALSE(logger.player());
    EXPECT_EQ(logger.delegate.mediaCreatedTime, QStringLiteral("stopped"));
    EXPECT_TRUE(logger.table()->isEnabled());
    QTest::qWait(1500);
    EXPECT_FALSE(logger.table()->selectionModel()->hasSelection());
    EXPECT_EQ(logger.delegate.loadedAssetIndex, -1);
    EXPECT_FALSE(logger.player());
    const QStringList lines = selectionLines(console.lines());
    const qsizetype end = lines.indexOf(QStringLiteral("playerItemDidReachEnd"));
    ASSERT_GE(end, 0) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.mid(end + 1, 3),
        (QStringList { QStringLiteral("tableViewSelectionDidChange"),
            QStringLiteral("***** remove observers"),
            QStringLiteral("tableViewSelectionDidChange, selected = -1, loadedAssetIndex = 0") }));
    EXPECT_EQ(lines.count(QStringLiteral("playerItemDidReachEnd")), 1);
}

TEST(ClipSelection, CookieFollowsThePlayHeadOnTheLogServiceHostAlone)
{
    ClipFolder clips { { "long.mp4", Kind::LongMp4 } };
    Logger logger;
    QList<QNetworkCookie> stored;
    QObject::connect(logger.delegate.webProfile()->cookieStore(), &QWebEngineCookieStore::cookieAdded,
        [&](const QNetworkCookie& cookie) {
            if (cookie.name() == "time_offset")
                stored.append(cookie);
        });
    ConsoleCapture console;
    logger.choose(clips.folder.path());
    ASSERT_EQ(logger.delegate.loadedAssetIndex, 0);

    // At load the play head is at 0: present minus recording start.
    const QDateTime created
        = *logger.delegate.dateFormatter.dateFromString(logger.delegate.assets[0].created);
    const double expected = double(created.secsTo(QDateTime::currentDateTimeUtc()));
    const QStringList atLoad = console.lines().filter(cookiePrefix);
    ASSERT_EQ(atLoad.size(), 1);
    EXPECT_NEAR(cookieSeconds(atLoad[0]), expected, 1.0);
    EXPECT_TRUE(atLoad[0].endsWith(QStringLiteral(".0")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !stored.isEmpty(); }, 10'000));
    const QNetworkCookie cookie = stored.first();
    EXPECT_EQ(cookie.value(), atLoad[0].mid(cookiePrefix.size()).toLatin1());
    EXPECT_EQ(
        cookie.domain(), QString::fromLatin1(BuildConfig::logServiceHost)); // no leading dot: no subdomains
    EXPECT_EQ(cookie.path(), QStringLiteral("/"));
    EXPECT_TRUE(cookie.isSessionCookie());
    EXPECT_FALSE(cookie.isSecure());

    // Seeking back a minute raises the offset by a minute (one more when a second ticks over meanwhile).
    ASSERT_TRUE(logger.waitUntilOpened());
    logger.player()->seek(65);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::abs(logger.player()->currentTime() - 65) < 0.01; }, loadLimit));
    logger.delegate.setTimeOffsetCookie();
    const double before = cookieSeconds(console.lines().filter(cookiePrefix).last());
    logger.player()->seekBy(-60);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::abs(logger.player()->currentTime() - 5) < 0.01; }, loadLimit));
    logger.delegate.setTimeOffsetCookie();
    const double after = cookieSeconds(console.lines().filter(cookiePrefix).last());
    EXPECT_GE(after - before, 60.0);
    EXPECT_LE(after - before, 61.0);

    // The timer keeps it current every second while the clip is loaded, and stops with the unload.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return console.lines().contains(QStringLiteral("timerDidFire")); }, 5000));
    const QStringList lines = console.lines();
    EXPECT_TRUE(lines.value(lines.indexOf(QStringLiteral("timerDidFire")) + 1).startsWith(cookiePrefix));
    logger.table()->clearSelection();
    const qsizetype ticks = console.lines().count(QStringLiteral("timerDidFire"));
    QTest::qWait(1500);
    EXPECT_EQ(console.lines().count(QStringLiteral("timerDidFire")), ticks);
}

TEST(ClipSelection, UndecodableClipsShowTheErrorAndTheNextClipLoads)
{
    ClipFolder clips { { "good.mp4", Kind::H264Mp4 } };
    QFile(clips.path("empty.mov")).open(QIODevice::WriteOnly);
    QFile corrupt(clips.path("corrupt.mxf"));
    ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(65536, '\x5a'));
    corrupt.close();
    Logger logger;
    logger.choose(clips.folder.path());
    ASSERT_EQ(logger.delegate.assets.size(), 3);
    const auto row = [&](const QString& name) {
        for (int i = 0; i < logger.delegate.assets.size(); ++i)
            if (logger.delegate.assets[i].name == name)
                return i;
        return -1;
    };

    for (const QString& broken : { QStringLiteral("empty.mov"), QStringLiteral("corrupt.mxf") }) {
        logger.select(row(broken));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !logger.delegate.playerView->messageText().isEmpty(); }, loadLimit))
            << broken.toStdString();
        EXPECT_TRUE(logger.player()->failure());
        EXPECT_EQ(logger.delegate.loadedAssetIndex, row(broken));
    }
    QSignalSpy drawn(logger.delegate.playerView, &PlayerView::frameDrawn);
    logger.select(row(QStringLiteral("good.mp4")));
    ASSERT_TRUE(logger.waitUntilOpened());
    EXPECT_TRUE(drawn.count() > 0 || drawn.wait(loadLimit));
    EXPECT_FALSE(logger.player()->failure());
    EXPECT_TRUE(logger.delegate.playerView->messageText().isEmpty());
}

TEST(ClipSelection, ReadOnlyClipStillLoads)
{
    ClipFolder clips { { "a.mov", Kind::ProResMov }, { "b.mov", Kind::ProResMov } };
    QFile::setPermissions(clips.path("b.mov"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    Logger logger;
    logger.choose(clips.folder.path());
    const int row = logger.delegate.assets[0].name == QStringLiteral("b.mov") ? 0 : 1;
    logger.select(row);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, row);
    ASSERT_TRUE(logger.waitUntilOpened());
    EXPECT_FALSE(logger.player()->failure());
    EXPECT_TRUE(logger.delegate.secondsTimer->isActive());
}

TEST(ClipSelection, ProfessionalFormatsPlay)
{
    ClipFolder clips { { "prores.mov", Kind::ProResMov }, { "dnxhr.mxf", Kind::DnxhrMxf },
        { "mpeg2.mxf", Kind::Mpeg2Mxf } };
    Logger logger;
    logger.choose(clips.folder.path());
    ASSERT_EQ(logger.delegate.assets.size(), 3);
    for (int row = 0; row < 3; ++row) {
        QSignalSpy drawn(logger.delegate.playerView, &PlayerView::frameDrawn);
        logger.select(row);
        ASSERT_TRUE(drawn.wait(loadLimit)) << logger.delegate.assets[row].name.toStdString();
        EXPECT_FALSE(logger.player()->failure());
        EXPECT_TRUE(logger.waitUntilOpened());
    }
}

}
