#include "PlayerRig.h"

#include <gtest/gtest.h>

namespace {

// Paused on frame 75 of an 8 s clip at 25 frames a second.
void prepare(PlayerRig& rig)
{
    rig.open(8, 25);
    rig.parkAt(3);
}

TEST(PlayerSteps, AFrameStepLandsWhenAnotherFrameIsShownAndTheNextTapGoesThen)
{
    PlayerRig rig;
    prepare(rig);
    rig.player->stepFrame(1);
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    rig.core.say(Report::Position { 3.01 });
    EXPECT_EQ(rig.asked(), Asked {});
    rig.core.say(Report::Position { 3.04 });
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    rig.core.say(Report::Position { 3.08 });
    EXPECT_FALSE(rig.clock->running(PlayerTimer::StepLanding));
    EXPECT_EQ(rig.frame(), 77);
}

TEST(PlayerSteps, AStepThatNeverLandsFreesTheKeysAndTheRunStillCountsFromWhereItAimed)
{
    PlayerRig rig;
    prepare(rig);
    for (int i = 0; i < 4; ++i)
        rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), Asked { "seek 2.96" });
    rig.clock->advance(999);
    EXPECT_EQ(rig.asked(), Asked {});
    for (const char* next : { "seek 2.92", "seek 2.88", "seek 2.84" }) {
        rig.clock->advance(1);
        EXPECT_EQ(rig.asked(), Asked { next });
        rig.clock->advance(999);
    }
    // The late landings change nothing; the run is over.
    rig.core.land(2.96);
    rig.clock->advance(1);
    EXPECT_EQ(rig.asked(), Asked {});
    // A shorter limit for a busy machine.
    rig.player->setStepLimit(10);
    rig.player->stepFrame(1);
    rig.player->stepFrame(1);
    rig.clock->advance(10);
    EXPECT_EQ(rig.asked(), (Asked { "frame-step", "frame-step" }));
}

// A step that goes ahead of a seek still under way (on a busy machine, past the step limit) would be
// lost as a frame step: it is a seek of its own, which takes the place of the slow one.
TEST(PlayerSteps, AStepAheadOfASlowSeekIsASeekItself)
{
    PlayerRig rig;
    prepare(rig);
    rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), Asked { "seek 2.96" });
    rig.clock->advance(1000);
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.asked(), Asked { "seek 3.04" });
    rig.core.land(3.04);
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
}

TEST(PlayerSteps, StepsWithNowhereToGoAskNothingAndHoldNoKey)
{
    PlayerRig rig;
    rig.open(8, 25);
    // At the first frame.
    rig.player->stepFrame(-1);
    rig.player->stepSeconds(-1);
    EXPECT_EQ(rig.asked(), Asked {});
    rig.player->stepSeconds(1);
    EXPECT_EQ(rig.asked(), Asked { "seek 1" });
    rig.core.land(1);
    // A second back from half a second goes to the start; a second on from near the end to the last frame.
    rig.parkAt(0.5);
    rig.player->stepSeconds(-1);
    EXPECT_EQ(rig.asked(), Asked { "seek 0" });
    rig.core.land(0);
    rig.parkAt(7.5);
    rig.player->stepSeconds(1);
    EXPECT_EQ(rig.asked(), Asked { "seek 7.96" });
    rig.core.land(7.96);
    // On the last frame.
    rig.player->stepFrame(1);
    rig.player->stepSeconds(1);
    EXPECT_EQ(rig.asked(), Asked {});
    rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), Asked { "seek 7.92" });

    // A clip whose frame rate is not known yet.
    PlayerRig unknown;
    unknown.open(8, 0);
    unknown.player->stepFrame(1);
    unknown.player->stepSeconds(1);
    EXPECT_EQ(unknown.asked(), Asked {});
}

TEST(PlayerSteps, AHeldKeyLeavesOneStepBehindAndNoneOnceLetGo)
{
    PlayerRig rig;
    prepare(rig);
    rig.player->stepFrame(1);
    for (int i = 0; i < 5; ++i)
        rig.player->stepFrame(1, true);
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    rig.core.say(Report::Position { 3.04 });
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    rig.player->stepFrame(1, true);
    rig.player->releaseStep();
    rig.core.say(Report::Position { 3.08 });
    EXPECT_EQ(rig.asked(), Asked {});
}

TEST(PlayerSteps, PlayingOrSeekingTakesOverFromTheKeys)
{
    PlayerRig rig;
    prepare(rig);
    // A step pauses whatever plays.
    rig.player->setRate(2);
    rig.asked();
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.asked(), (Asked { "pause", "frame-step" }));
    EXPECT_EQ(rig.player->rate(), 0.0);
    rig.player->stepFrame(1);
    // Playing drops the steps still to come.
    rig.player->setRate(1);
    EXPECT_FALSE(rig.clock->running(PlayerTimer::StepLanding));
    rig.player->setRate(0);
    rig.core.say(Report::Position { 3.04 });
    rig.asked();
    // A seek during a run: the next step counts from where the seek lands.
    rig.player->stepFrame(-1);
    rig.player->seek(5);
    rig.core.land(5);
    rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), (Asked { "seek 3", "seek 5", "seek 4.96" }));
}

}
