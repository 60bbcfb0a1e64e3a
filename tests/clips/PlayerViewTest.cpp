#include "ClipFixtures.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

using ClipFixtures::Kind;
constexpr int limit = 30'000;

// A player pane on its own, with one clip loaded and opened.
struct Pane
{
    QTemporaryDir folder;
    PlayerView view;
    MpvPlayer* player = nullptr;

    // `stepAtOnce` presses → as soon as the clip is handed to the view, before it has opened.
    explicit Pane(Kind kind, const QDateTime& recordingStart = {}, bool stepAtOnce = false)
    {
        view.resize(320, 240);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        auto clip = view.makePlayer(ClipFixtures::copy(kind, folder.filePath(u"clip"_s)));
        player = clip.get();
        view.setPlayer(std::move(clip), recordingStart);
        view.setFocus();
        if (stepAtOnce)
            press(Qt::Key_Right);
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return player->duration() > 0 && player->framesPerSecond() > 0; }, limit));
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&view, Qt::Key(key), modifiers);
    }
    bool waitForTime(double seconds)
    {
        return QTest::qWaitFor([&] { return std::abs(player->currentTime() - seconds) < 0.005; }, limit);
    }
};

TEST(PlayerView, KeysStepFramesAndSecondsAndSetTheSound)
{
    Pane pane(Kind::H264Mp4, {}, true);
    EXPECT_EQ(pane.player->rate(), 0.0); // loaded paused
    EXPECT_EQ(pane.player->framesPerSecond(), 25.0);
    // The step pressed while the clip was opening is not lost.
    EXPECT_TRUE(pane.waitForTime(0.04)) << pane.player->currentTime();
    pane.press(Qt::Key_Right);
    EXPECT_TRUE(pane.waitForTime(0.08)) << pane.player->currentTime();
    pane.press(Qt::Key_Left);
    EXPECT_TRUE(pane.waitForTime(0.04)) << pane.player->currentTime();
    pane.press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(pane.waitForTime(1.04)) << pane.player->currentTime();
    EXPECT_EQ(pane.view.elapsedText(), u"00:00:01:01"_s);
    EXPECT_EQ(pane.view.remainingText(), u"-00:00:00:24"_s);
    pane.press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_TRUE(pane.waitForTime(0.04)) << pane.player->currentTime();
    // Before the start there is nothing: the play head stops at 0.
    pane.press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_TRUE(pane.waitForTime(0)) << pane.player->currentTime();
    EXPECT_EQ(pane.player->rate(), 0.0);

    pane.press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane.player->volume() == 95; }, limit));
    for (bool muted : { true, false }) {
        pane.press(Qt::Key_M);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane.player->isMuted() == muted; }, limit)) << muted;
    }
}

TEST(PlayerView, JklShuttleDoublesStopsAndHaltsAtTheStart)
{
    Pane pane(Kind::LongMp4);
    for (double expected : { 1.0, 2.0, 4.0, 8.0, 8.0 }) {
        pane.press(Qt::Key_L);
        EXPECT_EQ(pane.player->rate(), expected);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->currentTime() > 10; }, limit));
    pane.press(Qt::Key_K);
    EXPECT_EQ(pane.player->rate(), 0.0);
    // Stopped: the play head holds still (once the last report before the pause has come in).
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const double stopped = pane.player->currentTime();
            QTest::qWait(500);
            return pane.player->currentTime() == stopped;
        },
        limit));

    for (double expected : { -1.0, -2.0, -4.0 }) {
        pane.press(Qt::Key_J);
        EXPECT_EQ(pane.player->rate(), expected);
    }
    // Before the start there is nothing: the shuttle stops there.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->rate() == 0; }, limit));
    EXPECT_TRUE(pane.waitForTime(0)) << pane.player->currentTime();
    pane.press(Qt::Key_Space);
    EXPECT_EQ(pane.player->rate(), 1.0);
    pane.press(Qt::Key_Space);
    EXPECT_EQ(pane.player->rate(), 0.0);
}

TEST(PlayerView, ShowsTheRecordingTimeUnderThePlayHead)
{
    const QDateTime start(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());
    Pane pane(Kind::LongMp4, start);
    pane.player->seek(61);
    ASSERT_TRUE(pane.waitForTime(61));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return pane.view.recordingTimeText() == start.addSecs(61).toLocalTime().toString(u"HH:mm:ss"_s);
        },
        limit))
        << pane.view.recordingTimeText().toStdString();
}

TEST(PlayerView, EmptyViewSaysHowToStartAndIgnoresKeys)
{
    PlayerView view;
    view.show();
    EXPECT_FALSE(view.messageText().isEmpty());
    QTest::keyClick(&view, Qt::Key_L);
    EXPECT_FALSE(view.player());
}

}
