#include "ClipFixtures.h"

#include "clips/ClipModel.h"

#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

namespace {

using ClipFixtures::consoleLinesOf;

// How many rows the table makes while `call` runs.
qsizetype rowsMadeBy(const std::function<void()>& call)
{
    return consoleLinesOf(call).count(QStringLiteral("tableView viewForTableColumn"));
}

TEST(ClipTable, AsksForRowsOnResetAndMakesEachVisibleRowOnce)
{
    ClipModel model;
    QTableView table;
    table.setModel(&model);
    table.resize(300, 200);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    EXPECT_EQ(consoleLinesOf([&] { model.setClips({}); }),
        QStringList { QStringLiteral("numberOfRowsInTableView: 0") });

    QList<Clip> clips;
    for (int i = 0; i < 1000; ++i)
        clips.append(Clip { QStringLiteral("C%1.MXF").arg(i), QStringLiteral("/card/C%1.MXF").arg(i),
            QStringLiteral("2016-03-01 14:05:09 +0000") });
    QStringList lines = consoleLinesOf([&] {
        model.setClips(clips);
        QTest::qWait(100);
    });
    EXPECT_TRUE(lines.contains(QStringLiteral("numberOfRowsInTableView: 1000")));
    const qsizetype visibleRows = lines.count(QStringLiteral("tableView viewForTableColumn"));
    EXPECT_GT(visibleRows, 0);
    EXPECT_LT(visibleRows, 100); // rows off screen are not made

    // Repaints and mark changes do not make rows again; scrolling makes the newly shown rows once.
    EXPECT_EQ(rowsMadeBy([&] {
        table.viewport()->repaint();
        model.clearMarks();
        model.markLoaded(2);
        table.viewport()->repaint();
    }),
        0);
    EXPECT_GT(rowsMadeBy([&] {
        table.scrollToBottom();
        table.viewport()->repaint();
    }),
        0);
    EXPECT_EQ(rowsMadeBy([&] {
        table.scrollToTop();
        table.viewport()->repaint();
    }),
        0);
}

}
