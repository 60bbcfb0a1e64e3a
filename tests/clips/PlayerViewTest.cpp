#include "ClipFixtures.h"
#include "RefusingMpv.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
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

    explicit Pane(Kind kind, const QDateTime& recordingStart = {})
    {
        view.resize(320, 240);
        view.show();
        // The keys are the view's shortcuts, which act in the active window only.
        view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
        auto clip = view.makePlayer(ClipFixtures::copy(kind, folder.filePath(ClipFixtures::fileName(kind))));
        player = clip.get();
        view.setPlayer(std::move(clip), recordingStart);
        view.setFocus();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] {
                return player->duration() > 0 && player->framesPerSecond() > 0 && player->hasPicture();
            },
            limit));
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&view, Qt::Key(key), modifiers);
    }
    qint64 frame() const { return std::llround(player->currentTime() * player->framesPerSecond()); }
    // On the frame at `seconds`, with nothing under way: mpv reports a seek's target as the play head as
    // soon as the seek starts, long before the frame is up.
    bool waitForTime(double seconds)
    {
        return QTest::qWaitFor(
            [&] { return std::abs(player->currentTime() - seconds) < 0.005 && !player->isSeeking(); }, limit);
    }
    bool waitForFrame(qint64 index)
    {
        return QTest::qWaitFor([&] { return frame() == index; }, limit);
    }
    // Stopped at the first frame, as a shuttle backwards ends.
    bool waitForStopAtStart()
    {
        return QTest::qWaitFor([&] { return player->rate() == 0 && player->currentTime() == 0; }, limit);
    }
    // The play head holds still (once the last report before the pause has come in).
    bool holdsStill()
    {
        return QTest::qWaitFor(
            [&] {
                const double stopped = player->currentTime();
                QTest::qWait(500);
                return player->currentTime() == stopped;
            },
            limit);
    }
};

TEST(PlayerView, KeysStepFramesAndSecondsAndSetTheSound)
{
    Pane pane(Kind::H264Mp4);
    EXPECT_EQ(pane.player->rate(), 0.0); // loaded paused
    EXPECT_EQ(pane.player->framesPerSecond(), 25.0);
    // Under Xvfb no graphics card decodes: mpv falls back to software by itself, and says so.
    EXPECT_TRUE(pane.view.readOutToolTip().endsWith(u"\nDecoding: software"_s))
        << pane.view.readOutToolTip().toStdString();
    pane.press(Qt::Key_Right);
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

    pane.press(Qt::Key_Down);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane.player->volume() == 95; }, limit));
    for (bool muted : { true, false }) {
        pane.press(Qt::Key_M);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane.player->isMuted() == muted; }, limit)) << muted;
    }
}

// A long-GOP clip (a keyframe every 50 frames, B-frames) and an intra-only one, each from a frame that
// a keyframe follows (both at 25 frames a second).
const struct
{
    Kind kind;
    double from;
} reverseClips[] = { { Kind::GopMp4, 5.52 }, { Kind::ProResLongMov, 3.52 } };

TEST(PlayerView, JJPlaysBackAtTwiceRealTimeAndEveryTurnLandsOnTheFrameUnderThePlayHead)
{
    for (const auto& [kind, from] : reverseClips) {
        SCOPED_TRACE(int(kind));
        Pane pane(kind);
        pane.player->seek(from);
        ASSERT_TRUE(pane.waitForTime(from));
        // The play button shows the state with the same two icons throughout: a new icon for every
        // report of the play head would pile up renderings in the pixmap cache while a clip plays.
        const auto playButtonIcon
            = [&] { return pane.view.findChild<QToolButton*>(u"playButton"_s)->icon().cacheKey(); };
        const qint64 paused = playButtonIcon();
        pane.press(Qt::Key_J);
        pane.press(Qt::Key_J);
        EXPECT_EQ(pane.player->rate(), -2.0);
        const qint64 playing = playButtonIcon();
        EXPECT_NE(playing, paused);

        // Once under way, a second and a half of the clip goes by backwards in about three quarters
        // of a second. The bounds are loose: they tell twice real time from real time and from 4×.
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->currentTime() < from - 0.2; }, limit));
        const double start = pane.player->currentTime();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->currentTime() <= start - 1.5; }, limit));
        const double speed = (start - pane.player->currentTime()) / (double(clock.elapsed()) / 1000.0);
        EXPECT_GT(speed, 1.3);
        EXPECT_LT(speed, 3.2);
        EXPECT_EQ(playButtonIcon(), playing);

        pane.press(Qt::Key_K);
        EXPECT_EQ(pane.player->rate(), 0.0);
        ASSERT_TRUE(pane.holdsStill());
        EXPECT_EQ(playButtonIcon(), paused);

        // Paused backwards, ← takes the next frame back and → turns round: back on the same frame.
        const qint64 stopped = pane.frame();
        pane.press(Qt::Key_Left);
        EXPECT_TRUE(pane.waitForFrame(stopped - 1)) << pane.frame();
        pane.press(Qt::Key_Right);
        EXPECT_TRUE(pane.waitForFrame(stopped)) << pane.frame();

        // L plays forwards from that frame: nothing jumps back.
        double lowest = pane.player->currentTime();
        const auto connection = QObject::connect(
            pane.player, &MpvPlayer::changed, [&] { lowest = std::min(lowest, pane.player->currentTime()); });
        pane.press(Qt::Key_L);
        EXPECT_EQ(pane.player->rate(), 1.0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane.frame() >= stopped + 5; }, limit));
        QObject::disconnect(connection);
        EXPECT_EQ(std::llround(lowest * pane.player->framesPerSecond()), stopped);
        pane.press(Qt::Key_K);

        // And J again, then Space: forwards at normal speed.
        pane.press(Qt::Key_J);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane.frame() < stopped; }, limit));
        pane.press(Qt::Key_Space);
        EXPECT_EQ(pane.player->rate(), 0.0);
        pane.press(Qt::Key_Space);
        EXPECT_EQ(pane.player->rate(), 1.0);
    }
}

TEST(PlayerView, StepsBackAndForthComeBackToTheSameFrame)
{
    for (const auto& [kind, from] : reverseClips) {
        SCOPED_TRACE(int(kind));
        Pane pane(kind);
        pane.player->seek(from);
        ASSERT_TRUE(pane.waitForTime(from));
        const qint64 start = pane.frame();
        const struct
        {
            int key;
            Qt::KeyboardModifiers modifiers;
            qint64 frame;
        } steps[] = {
            { Qt::Key_Left, Qt::NoModifier, start - 1 },
            { Qt::Key_Right, Qt::NoModifier, start },
            { Qt::Key_Left, Qt::NoModifier, start - 1 },
            { Qt::Key_Left, Qt::NoModifier, start - 2 },
            { Qt::Key_Left, Qt::NoModifier, start - 3 },
            { Qt::Key_Right, Qt::NoModifier, start - 2 },
            { Qt::Key_Right, Qt::NoModifier, start - 1 },
            { Qt::Key_Right, Qt::NoModifier, start },
            { Qt::Key_Left, Qt::ShiftModifier, start - 25 },
            { Qt::Key_Right, Qt::ShiftModifier, start },
        };
        for (const auto& [key, modifiers, frame] : steps) {
            pane.press(key, modifiers);
            EXPECT_TRUE(pane.waitForFrame(frame)) << pane.frame() << " for " << frame;
        }
        // Taps made faster than the steps land all count.
        for (int i = 0; i < 4; ++i)
            pane.press(Qt::Key_Left);
        EXPECT_TRUE(pane.waitForFrame(start - 4)) << pane.frame();
        ASSERT_TRUE(pane.holdsStill());
        EXPECT_EQ(pane.frame(), start - 4);
    }
}

// X sends a held key as a press, then pairs of repeated releases and presses, then the last release. The
// arrows are the step actions' shortcuts, and an action is triggered without the key event: the view
// still tells the player which presses repeat, so that a held key does not leave a backlog of steps,
// while every separate press makes its step.
TEST(PlayerView, AHeldArrowLeavesNoBacklogWhereSeparatePressesEachStep)
{
    Pane pane(Kind::H264Mp4);
    const auto send = [&](QEvent::Type type, Qt::KeyboardModifiers modifiers, bool repeat) {
        QKeyEvent event(type, Qt::Key_Right, modifiers, QString(), repeat);
        QCoreApplication::sendEvent(&pane.view, &event);
    };
    const auto hold = [&](Qt::KeyboardModifiers modifiers, int repeats) {
        send(QEvent::KeyPress, modifiers, false);
        for (int i = 0; i < repeats; ++i) {
            send(QEvent::KeyRelease, modifiers, true);
            send(QEvent::KeyPress, modifiers, true);
        }
        send(QEvent::KeyRelease, modifiers, false);
    };

    // Let go before the first step has landed, the key leaves that step alone behind it.
    hold(Qt::NoModifier, 10);
    ASSERT_TRUE(pane.holdsStill());
    EXPECT_EQ(pane.frame(), 1);
    hold(Qt::ShiftModifier, 10);
    ASSERT_TRUE(pane.holdsStill());
    EXPECT_EQ(pane.frame(), 26);

    for (int press = 0; press < 3; ++press)
        hold(Qt::NoModifier, 0);
    EXPECT_TRUE(pane.waitForFrame(29)) << pane.frame();
}

TEST(PlayerView, ShuttleBackwardsSurvivesClipsThatCannotBePlayedBackwards)
{
    // Playing backwards into the start: it stops there, which is not the clip's end.
    {
        Pane pane(Kind::GopMp4);
        QSignalSpy ends(pane.player, &MpvPlayer::reachedEnd);
        pane.player->seek(1.52);
        ASSERT_TRUE(pane.waitForTime(1.52));
        for (int i = 0; i < 3; ++i)
            pane.press(Qt::Key_J);
        EXPECT_TRUE(pane.waitForStopAtStart()) << pane.player->currentTime();
        EXPECT_EQ(ends.count(), 0);
        pane.press(Qt::Key_L);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane.frame() > 3; }, limit));
    }
    // An index that marks no keyframe: J steps back instead, and says so once.
    {
        Pane pane(Kind::BrokenIndexMp4);
        QSignalSpy notices(pane.player, &MpvPlayer::notice);
        for (double from : { 3.0, 2.0 }) {
            pane.player->seek(from);
            ASSERT_TRUE(pane.waitForTime(from));
            pane.press(Qt::Key_J);
            ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->currentTime() < from - 0.3; }, limit));
            pane.press(Qt::Key_J);
            pane.press(Qt::Key_J);
            EXPECT_TRUE(pane.waitForStopAtStart()) << pane.player->currentTime();
        }
        EXPECT_EQ(notices.count(), 1);
        EXPECT_TRUE(pane.view.noticeText().contains(u"cannot be played backwards"_s))
            << pane.view.noticeText().toStdString();
    }
    // Cut off halfway, and played backwards from past the cut, from within its last group of pictures
    // and from before it.
    for (double from : { 7.0, 3.0, 1.0 }) {
        Pane pane(Kind::TruncatedMp4);
        pane.player->seek(from);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pane.player->currentTime() > from - 1; }, limit));
        for (int i = 0; i < 3; ++i)
            pane.press(Qt::Key_J);
        EXPECT_TRUE(pane.waitForStopAtStart()) << from << ": " << pane.player->currentTime();
        EXPECT_TRUE(pane.view.noticeText().isEmpty()) << pane.view.noticeText().toStdString();
    }
}

TEST(PlayerView, ACommandMpvRefusesReachesThePaneAndNothingHangs)
{
    struct Refusals
    {
        explicit Refusals(const QStringList& names) { RefusingMpv::refuse(names); }
        ~Refusals() { RefusingMpv::refuse({}); }
    };
    {
        Pane pane(Kind::GopMp4);
        pane.player->seek(3.0);
        ASSERT_TRUE(pane.waitForTime(3.0));
        const Refusals refusals({ u"frame-step"_s, u"play-dir"_s });
        // Refused at once.
        pane.press(Qt::Key_Right);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return pane.view.noticeText().contains(u"“frame-step”"_s); }, limit))
            << pane.view.noticeText().toStdString();
        // The keys are free again: ← seeks.
        pane.press(Qt::Key_Left);
        EXPECT_TRUE(pane.waitForFrame(74)) << pane.frame();
        // Refused in mpv's reply: J steps back instead of playing backwards.
        pane.press(Qt::Key_J);
        EXPECT_TRUE(QTest::qWaitFor([&] { return pane.view.noticeText().contains(u"backwards"_s); }, limit))
            << pane.view.noticeText().toStdString();
        pane.press(Qt::Key_J);
        pane.press(Qt::Key_J);
        EXPECT_TRUE(pane.waitForStopAtStart()) << pane.player->currentTime();
    }
    // A refused load: the clip says why it stays black.
    const Refusals refusals({ u"loadfile"_s });
    QTemporaryDir folder;
    PlayerView view;
    view.show();
    auto player = view.makePlayer(ClipFixtures::copy(Kind::H264Mp4, folder.filePath(u"clip.mp4"_s)));
    view.setPlayer(std::move(player));
    EXPECT_TRUE(view.messageText().contains(u"refused to open it"_s)) << view.messageText().toStdString();
}

TEST(PlayerView, AListOfAddressesDressedAsAClipFetchesNothing)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QSignalSpy connections(&server, &QTcpServer::newConnection);
    const QString address = u"http://127.0.0.1:%1/clip.mp4"_s.arg(server.serverPort());
    const QString port = QString::number(server.serverPort());
    // Each form mpv or FFmpeg would read as a list of other files, or as a stream to open.
    const QString lists[] = {
        address + u'\n',
        u"#EXTM3U\n#EXTINF:10,clip\n"_s + address + u'\n',
        u"[playlist]\nFile1="_s + address + u"\nNumberOfEntries=1\n"_s,
        u"#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10.0,\n"_s + address + u"\n#EXT-X-ENDLIST\n"_s,
        u"ffconcat version 1.0\nfile "_s + address + u'\n',
        u"<asx version=\"3.0\"><entry><ref href=\""_s + address + u"\"/></entry></asx>\n"_s,
        u"<?xml version=\"1.0\"?><MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" type=\"static\" "
        "mediaPresentationDuration=\"PT10S\"><Period><AdaptationSet><Representation id=\"1\" "
        "bandwidth=\"1000\" mimeType=\"video/mp4\"><BaseURL>"_s
            + address + u"</BaseURL></Representation></AdaptationSet></Period></MPD>\n"_s,
        u"v=0\no=- 0 0 IN IP4 127.0.0.1\ns=clip\nc=IN IP4 127.0.0.1\nt=0 0\nm=video "_s + port
            + u" RTP/AVP 96\na=rtpmap:96 H264/90000\n"_s,
    };
    QTemporaryDir folder;
    PlayerView view;
    view.show();
    for (const QString& list : lists) {
        QFile clip(folder.filePath(u"A001.mov"_s));
        ASSERT_TRUE(clip.open(QIODevice::WriteOnly | QIODevice::Truncate));
        clip.write(list.toUtf8());
        clip.close();
        view.setPlayer(view.makePlayer(clip.fileName()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view.messageText().isEmpty(); }, limit))
            << list.toStdString();
        EXPECT_TRUE(view.player()->failure()) << list.toStdString();
    }
    // A connection made while a list was opened is waiting by now.
    QCoreApplication::processEvents();
    EXPECT_EQ(connections.count(), 0);
    EXPECT_FALSE(server.hasPendingConnections());
}

TEST(PlayerView, PlaysAClipOnlyAsTheTypeItsNameSays)
{
    QTemporaryDir folder;
    PlayerView view;
    view.show();
    const auto load = [&](const QString& path) {
        view.setPlayer(view.makePlayer(path));
        return QTest::qWaitFor(
            [&] { return view.player()->failure() || view.player()->duration() > 0; }, limit);
    };
    // Left to itself, mpv would find the MXF demuxer for an MXF clip named ".mov", and any other.
    ASSERT_TRUE(load(ClipFixtures::copy(Kind::Mpeg2Mxf, folder.filePath(u"A001.mxf"_s))));
    EXPECT_FALSE(view.player()->failure());
    const struct
    {
        const char* name;
        Kind kind;
    } refused[]
        = { { "A001.mov", Kind::Mpeg2Mxf }, { "A002.mxf", Kind::H264Mp4 }, { "A003.txt", Kind::H264Mp4 } };
    for (const auto& [name, kind] : refused) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(load(ClipFixtures::copy(kind, folder.filePath(QLatin1String(name)))));
        EXPECT_TRUE(view.player()->failure());
        EXPECT_TRUE(view.messageText().contains(u"cannot be played"_s)) << view.messageText().toStdString();
    }
}

TEST(PlayerView, ShowsTheRecordingTimeUnderThePlayHead)
{
    const LocalTimeZone local("Asia/Kolkata");
    const QDateTime start(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());
    Pane pane(Kind::LongMp4, start);
    pane.player->seek(61);
    ASSERT_TRUE(pane.waitForTime(61));
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.view.recordingTimeText() == u"19:36:10"_s; }, limit))
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
