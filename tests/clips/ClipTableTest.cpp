#include "ClipFixtures.h"
#include "support/ConsoleLines.h"

#include "clips/ClipModel.h"

#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {


// How many rows the table makes while `call` runs.
qsizetype rowsMadeBy(const std::function<void()>& call)
{
    return consoleLinesOf(call).count(u"tableView viewForTableColumn"_s);
}

TEST(ClipTable, AsksForRowsOnResetAndMakesEachVisibleRowOnce)
{
    ClipModel model;
    QTableView table;
    table.setModel(&model);
    table.resize(300, 200);
    table.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
    EXPECT_EQ(consoleLinesOf([&] { model.setClips({}); }), QStringList { u"numberOfRowsInTableView: 0"_s });

    QList<Clip> clips;
    for (int i = 0; i < 1000; ++i)
        clips.append(Clip { u"C%1.MXF"_s.arg(i), u"/card/C%1.MXF"_s.arg(i),
            { QDateTime(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc()), RecordingStart::Source::Clip } });
    QStringList lines = consoleLinesOf([&] {
        model.setClips(clips);
        table.viewport()->repaint();
    });
    EXPECT_TRUE(lines.contains(u"numberOfRowsInTableView: 1000"_s));
    const qsizetype visibleRows = lines.count(u"tableView viewForTableColumn"_s);
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
