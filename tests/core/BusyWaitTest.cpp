#include "core/BusyWait.h"
#include "core/CommandRunner.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// The application these tests need, on Qt's offscreen platform: painting and the cursor without a display.
bool makeApplication()
{
    static int argc = 1;
    static char name[] = "test_core_busy_wait";
    static char* argv[] = { name, nullptr };
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at the process's end Qt's own globals are gone before a static application would be.
    static const QApplication* const application = new QApplication(argc, argv);
    Q_UNUSED(application);
    BusyWait::install();
    return true;
}

class CountedWindow : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// What a window saw while the main thread was inside runCommand: how often it painted, and the cursor
// over it each time a timer of the application came round.
struct Seen
{
    int paints = 0;
    int ticks = 0;
    QList<Qt::CursorShape> cursors;
};

class BusyWaitTest : public testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(200, 100);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ticker.setInterval(10);
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            ++seen.ticks;
            window.update();
            const QCursor* cursor = QGuiApplication::overrideCursor();
            seen.cursors.append(cursor ? cursor->shape() : Qt::ArrowCursor);
        });
    }

    Seen during(const std::function<void()>& work)
    {
        QCoreApplication::processEvents();
        seen = {};
        const int paintsBefore = window.paints;
        ticker.start();
        work();
        ticker.stop();
        seen.paints = window.paints - paintsBefore;
        return seen;
    }

    // Made first: the window needs the application.
    bool applicationMade = makeApplication();
    CountedWindow window;
    QTimer ticker;
    Seen seen;
};

TEST_F(BusyWaitTest, TheWindowKeepsPaintingUnderTheBusyCursorWhileAToolRuns)
{
    const Seen wait = during([] { runCommand(u"/bin/sleep"_s, { u"0.5"_s }, 10s); });
    EXPECT_GE(wait.paints, 3);
    ASSERT_FALSE(wait.cursors.isEmpty());
    EXPECT_EQ(wait.cursors.count(Qt::BusyCursor), wait.cursors.size());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the cursor was not given back";
}

TEST_F(BusyWaitTest, AQuickToolIsWaitedForWithoutHandlingAnything)
{
    // Nothing the application does can come between the steps around a run that ends at once.
    const Seen wait = during([] { runCommand(u"/bin/true"_s, {}, 10s); });
    EXPECT_EQ(wait.ticks, 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(BusyWaitTest, ARunStartedDuringAWaitBlocksAndTheCursorStaysBusyUntilTheOuterEnds)
{
    int ticksAtInnerStart = -1;
    int ticksAtInnerEnd = -1;
    QTimer::singleShot(150ms, [&] {
        ticksAtInnerStart = seen.ticks;
        runCommand(u"/bin/sleep"_s, { u"0.3"_s }, 10s);
        ticksAtInnerEnd = seen.ticks;
    });
    const Seen wait = during([] { runCommand(u"/bin/sleep"_s, { u"0.8"_s }, 10s); });
    ASSERT_GE(ticksAtInnerStart, 0) << "the outer wait handled no timer";
    // The inner run handled no events of its own: no handler was entered a second time.
    EXPECT_EQ(ticksAtInnerEnd, ticksAtInnerStart);
    // After the inner run, the outer wait went on painting under the busy cursor.
    EXPECT_GT(wait.ticks, ticksAtInnerEnd);
    EXPECT_EQ(wait.cursors.count(Qt::BusyCursor), wait.cursors.size());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}
