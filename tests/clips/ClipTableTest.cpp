#include "ClipFixtures.h"
#include "ConsoleCapture.h"

#include "app/AppDelegate.h"
#include "app/MainInterface.h"
#include "clips/ClipModel.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<Clip> someClips(int count)
{
    QList<Clip> clips;
    for (int i = 0; i < count; ++i)
        clips.append(Clip { QStringLiteral("C%1.MXF").arg(i), QStringLiteral("/card/C%1.MXF").arg(i),
            QStringLiteral("2016-03-01 14:05:09 +0000") });
    return clips;
}

TEST(ClipTable, AsksForRowsOnResetAndMakesEachVisibleRowOnce)
{
    ClipModel model;
    QTableView table;
    table.setModel(&model);
    table.resize(300, 200);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));

    ConsoleCapture console;
    model.setClips({});
    EXPECT_EQ(console.lines(), QStringList { QStringLiteral("numberOfRowsInTableView: 0") });

    model.setClips(someClips(1000));
    QTest::qWait(100);
    const auto made = [&] { return console.lines().count(QStringLiteral("tableView viewForTableColumn")); };
    const qsizetype visibleRows = made();
    EXPECT_GT(visibleRows, 0);
    EXPECT_LT(visibleRows, 100); // rows off screen are not made
    EXPECT_TRUE(console.lines().contains(QStringLiteral("numberOfRowsInTableView: 1000")));

    // Repaints and mark changes do not make rows again.
    table.viewport()->repaint();
    model.clearMarks();
    model.markLoaded(2);
    table.viewport()->repaint();
    EXPECT_EQ(made(), visibleRows);
    // Scrolling shows new rows, which are made once.
    table.scrollToBottom();
    table.viewport()->repaint();
    const qsizetype afterScroll = made();
    EXPECT_GT(afterScroll, visibleRows);
    table.scrollToTop();
    table.viewport()->repaint();
    EXPECT_EQ(made(), afterScroll);
}

// tapeScribe started with a path, or handed one by a second start.
struct Started
{
    AppDelegate delegate;
    MainInterface interface;
    Started()
    {
        interface.connectTo(delegate);
        delegate.awakeFromNib();
        interface.mainWindow()->show();
    }
};

TEST(OpenPaths, ScansAPathAsIfChosenInThePanel)
{
    QTemporaryDir folder;
    ClipFixtures::copy(ClipFixtures::Kind::ProResMov, folder.filePath(QStringLiteral("a.mov")));
    ClipFixtures::copy(ClipFixtures::Kind::ProResMov, folder.filePath(QStringLiteral("b.mov")));
    Started app;

    // A trailing separator and a relative path give the same records as the panel would.
    app.delegate.openPaths({ folder.path() + QStringLiteral("/") });
    ASSERT_EQ(app.delegate.assets.size(), 2);
    EXPECT_EQ(app.delegate.assets[0].path, folder.path() + u'/' + app.delegate.assets[0].name);
    EXPECT_EQ(app.delegate.loadedAssetIndex, -1);
    EXPECT_TRUE(app.delegate.label->text().contains(QStringLiteral("2 clips")));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    app.delegate.openPaths({ QStringLiteral("b.mov") });
    QDir::setCurrent(previous);
    ASSERT_EQ(app.delegate.assets.size(), 1);
    EXPECT_EQ(app.delegate.assets[0].path, folder.filePath(QStringLiteral("b.mov")));
    EXPECT_EQ(app.delegate.loadedAssetIndex, 0);
    ASSERT_TRUE(app.delegate.playerView->player());

    // No path only brings the window forward.
    app.delegate.openPaths({});
    EXPECT_EQ(app.delegate.loadedAssetIndex, 0);
}

TEST(OpenPaths, AMissingPathEndsWithAnEmptyTable)
{
    QTemporaryDir folder;
    Started app;
    app.delegate.openPaths({ folder.filePath(QStringLiteral("gone")) });
    EXPECT_TRUE(app.delegate.assets.isEmpty());
    EXPECT_TRUE(app.delegate.tableView->isEnabled());
    EXPECT_EQ(app.delegate.tableView->model()->rowCount(), 0);
}

TEST(ProfessionalFormatCheck, StaysSilentWhenThePlayerHasThemAll)
{
    Started app;
    QStringList told;
    app.delegate.showFormatWarning = [&](const QString& message) { told.append(message); };
    app.delegate.checkProfessionalFormats();
    EXPECT_TRUE(told.isEmpty()) << told.join(u'\n').toStdString();
}

}
