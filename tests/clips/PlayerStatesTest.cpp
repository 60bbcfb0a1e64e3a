#include "PlayerRig.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(PlayerStates, WhatIsAskedWhileOpeningWaitsForTheFirstPicture)
{
    // A rate and a seek: both once the picture is up, the seek first.
    {
        PlayerRig rig;
        rig.player->seek(2);
        rig.player->setRate(1);
        EXPECT_EQ(rig.player->rate(), 1.0);
        EXPECT_FALSE(rig.player->hasPicture());
        EXPECT_EQ(rig.asked(), Asked {});
        rig.core.showFirstPicture(10, 25);
        EXPECT_TRUE(rig.player->hasPicture());
        EXPECT_EQ(rig.pictures, 1);
        EXPECT_EQ(rig.asked(), (Asked { "read reach", "seek 2", "speed 1", "play" }));
        // Later restarts are seeks landing, not the first picture again.
        rig.core.land(2);
        EXPECT_EQ(rig.pictures, 1);
    }
    // A step pressed while opening goes once the picture is up, and lands on the next frame.
    {
        PlayerRig rig;
        rig.player->stepFrame(1);
        EXPECT_EQ(rig.asked(), Asked {});
        rig.core.showFirstPicture(10, 25);
        EXPECT_EQ(rig.asked(), (Asked { "read reach", "frame-step" }));
        rig.core.say(Report::Position { 0.04 });
        rig.player->stepFrame(1);
        EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    }
    // A rate given after the step takes over from it: the step is dropped.
    {
        PlayerRig rig;
        rig.player->stepFrame(1);
        rig.player->setRate(1);
        rig.core.showFirstPicture(10, 25);
        EXPECT_EQ(rig.asked(), (Asked { "read reach", "speed 1", "play" }));
    }
}

TEST(PlayerStates, PlayingForwardsReportsTheEndOncePausedThereAndNothingElseDoes)
{
    PlayerRig rig;
    rig.open();
    // The engine's end while paused (a seek or a step onto the last frame) is no end of playing.
    rig.core.say(Report::Ended {});
    EXPECT_EQ(rig.ends, 0);
    for (double rate : { 1.0, 2.0 })
        rig.player->setRate(rate);
    EXPECT_EQ(rig.asked(), (Asked { "speed 1", "play", "speed 2", "play" }));
    rig.core.say(Report::Ended {});
    EXPECT_EQ(rig.ends, 1);
    EXPECT_EQ(rig.player->rate(), 0.0);
    rig.core.say(Report::Ended {});
    EXPECT_EQ(rig.ends, 1);
    // Space plays again; K pauses whatever plays.
    rig.player->setRate(1);
    rig.player->setRate(0);
    EXPECT_EQ(rig.asked(), (Asked { "speed 1", "play", "pause" }));
}

TEST(PlayerStates, TheOwnerMayRemoveThePlayerWhenItHearsTheEnd)
{
    PlayerRig rig;
    rig.open();
    QObject::connect(rig.player.get(), &MpvPlayer::reachedEnd, [&] { rig.player.reset(); });
    rig.player->setRate(1);
    rig.core.say(Report::Ended {});
    EXPECT_FALSE(rig.player);
    EXPECT_EQ(rig.core.stops, 1);
    // Its clip's later reports go nowhere.
    rig.core.say(Report::Position { 9 });
}

TEST(PlayerStates, SeeksAreExactAndStayWithinTheClip)
{
    PlayerRig rig;
    rig.open(8, 25);
    for (double seconds : { 3.0, -1.0, 12.0 })
        rig.player->seek(seconds);
    EXPECT_EQ(rig.asked(), (Asked { "seek 3", "seek 0", "seek 8" }));
    rig.core.land(3);
    rig.player->seekBy(-0.5);
    EXPECT_EQ(rig.asked(), Asked { "seek 2.5" });
    // Playing forwards, a seek goes on playing from there.
    rig.player->setRate(1);
    rig.asked();
    rig.player->seek(1);
    EXPECT_EQ(rig.asked(), Asked { "seek 1" });
    EXPECT_EQ(rig.player->rate(), 1.0);
}

TEST(PlayerStates, AFailedClipSaysWhyOnceAndTakesNoMoreCommands)
{
    PlayerRig rig;
    rig.player->setRate(1);
    rig.core.say(Report::Failed { u"no such file"_s });
    rig.core.say(Report::Failed { u"again"_s });
    EXPECT_EQ(rig.failures, QStringList { u"no such file"_s });
    EXPECT_EQ(rig.player->failure(), u"no such file"_s);
    EXPECT_EQ(rig.player->rate(), 0.0);
    EXPECT_FALSE(rig.player->hasPicture());
    rig.player->setRate(1);
    rig.player->seek(3);
    rig.player->stepFrame(1);
    rig.core.say(Report::Restarted {});
    EXPECT_EQ(rig.player->rate(), 0.0);
    EXPECT_EQ(rig.asked(), Asked {});
    // The sound is the view's: it still goes to the engine.
    rig.player->setVolume(120);
    rig.player->setMuted(true);
    EXPECT_EQ(rig.asked(), (Asked { "volume 100", "mute" }));
}

TEST(PlayerStates, AClipReplacedBeforeItsFailureArrivesLeavesTheNewOneAlone)
{
    FakeCore core;
    auto first = std::make_unique<MpvPlayer>(core, u"bad.mov"_s, std::make_unique<ManualClock>());
    first->start();
    const qint64 firstLoad = core.load();
    auto second = std::make_unique<MpvPlayer>(core, u"good.mp4"_s, std::make_unique<ManualClock>());
    // As the view replaces them: the new one is made, the old one goes, the new one starts.
    first.reset();
    EXPECT_EQ(core.stops, 1);
    second->start();
    core.sayAbout(firstLoad, Report::Failed { u"invalid data"_s });
    core.sayAbout(firstLoad, Report::ReachRead { { BackwardReach::Index::Broken } });
    EXPECT_FALSE(second->failure());
    EXPECT_FALSE(second->state().reach);
    core.showFirstPicture(10, 25);
    EXPECT_TRUE(second->hasPicture());

    // A player that goes after another has loaded stops nothing of the other's.
    auto third = std::make_unique<MpvPlayer>(core, u"c.mp4"_s, std::make_unique<ManualClock>());
    third->start();
    second.reset();
    EXPECT_EQ(core.stops, 1);
    EXPECT_EQ(core.opened, (QStringList { u"bad.mov"_s, u"good.mp4"_s, u"c.mp4"_s }));
}

TEST(PlayerStates, ValuesTheEngineReportsReachTheOwner)
{
    PlayerRig rig;
    rig.open();
    const int before = rig.changes;
    rig.core.say(Report::Volume { 54.6 });
    rig.core.say(Report::Mute { true });
    rig.core.say(Report::Duration { 12 });
    rig.core.say(Report::FramesPerSecond { 50 });
    EXPECT_EQ(rig.player->volume(), 55);
    EXPECT_TRUE(rig.player->isMuted());
    EXPECT_EQ(rig.player->duration(), 12.0);
    EXPECT_EQ(rig.player->framesPerSecond(), 50.0);
    EXPECT_EQ(rig.changes, before + 4);
    // mpv says "no" while it decodes in software; the same decoder again changes nothing.
    for (const QString& name : { u"vaapi"_s, u"vaapi"_s, u"no"_s })
        rig.core.say(Report::Decoder { name });
    EXPECT_EQ(rig.player->hardwareDecoder(), QString());
    EXPECT_EQ(rig.changes, before + 6);
    // Before the clip opens the play head is at 0, whatever mpv says of an unknown position.
    PlayerRig opening;
    opening.core.say(Report::Position { -0.1 });
    EXPECT_EQ(opening.player->currentTime(), 0.0);
}

TEST(PlayerStates, ARefusalIsNamedAndHandledOnceTheTransitionThatAskedIsDone)
{
    PlayerRig rig;
    rig.open();
    rig.parkAt(3);
    // Refused at once, while the step is being made: the keys are free again.
    rig.core.refusing = { CoreCommand::FrameStep };
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.notices, QStringList { u"The player refused “frame-step”: error running command."_s });
    EXPECT_FALSE(rig.clock->running(PlayerTimer::StepLanding));
    rig.core.refusing.clear();
    rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), (Asked { "frame-step", "seek 2.96" }));
    // A refusal of anything else leaves the step under way.
    rig.core.say(Report::Refused { CoreCommand::Volume, u"no"_s });
    EXPECT_TRUE(rig.clock->running(PlayerTimer::StepLanding));
    EXPECT_EQ(rig.notices.last(), u"The player refused “set volume”: no."_s);
}

}
