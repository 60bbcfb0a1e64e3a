#include "PlayerRig.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Index = BackwardReach::Index;

// An 8 s clip whose last keyframe is at 6 s. At 24 frames a second the clock's ticks (10 ms) never fall
// on the middle of a frame, where rounding would decide which frame the clock is on.
const BackwardReach usable { Index::Usable, 6.0, 7.96, false };

// A rig whose clip is open, its index read, paused at `seconds`.
void prepare(PlayerRig& rig, const BackwardReach& reach, double seconds)
{
    rig.open(8, 24);
    rig.core.say(Report::ReachRead { reach });
    rig.parkAt(seconds);
}

TEST(PlayerReverse, JPlaysBackwardsWithMpvAndKLeavesItBackwardsForTheArrowKeys)
{
    PlayerRig rig;
    prepare(rig, usable, 3);
    rig.player->setRate(-1);
    EXPECT_EQ(rig.asked(), (Asked { "backward", "speed 1", "play" }));
    rig.player->setRate(-2);
    EXPECT_EQ(rig.asked(), Asked { "speed 2" });
    EXPECT_EQ(rig.player->state().direction, PlayDirection::TurningBackward);
    rig.core.land(2.9);
    EXPECT_EQ(rig.player->state().direction, PlayDirection::Backward);
    // Come back in time: the watchdog has nothing to say.
    rig.clock->advance(10'000);
    EXPECT_EQ(rig.asked(), Asked {});

    // Paused, ← takes mpv's next frame back; → turns round with an exact seek forwards.
    rig.player->setRate(0);
    rig.core.say(Report::Position { 2.0 });
    EXPECT_EQ(rig.asked(), Asked { "pause" });
    rig.player->stepFrame(-1);
    EXPECT_EQ(rig.asked(), Asked { "frame-step" });
    rig.core.say(Report::Position { 1.96 });
    rig.player->stepFrame(1);
    EXPECT_EQ(rig.asked(), (Asked { "forward", "hardware", "seek 2" }));
    // L from backwards: forwards at normal speed.
    rig.core.land(2);
    rig.player->setRate(-1);
    rig.asked();
    rig.player->setRate(1);
    EXPECT_EQ(rig.asked(), (Asked { "forward", "hardware", "speed 1", "play" }));
}

TEST(PlayerReverse, BackwardsOnGraphicsCardDecodingHoldsSoftwareDecodingUntilForwards)
{
    PlayerRig rig;
    prepare(rig, usable, 3);
    rig.core.say(Report::Decoder { u"vaapi"_s });
    rig.player->setRate(-1);
    EXPECT_EQ(rig.asked(), (Asked { "software", "backward", "speed 1", "play" }));
    rig.player->seek(1);
    EXPECT_EQ(rig.asked(), (Asked { "pause", "forward", "hardware", "seek 1" }));
    EXPECT_EQ(rig.player->rate(), 0.0);
}

TEST(PlayerReverse, ABackwardSeekThatNeverComesBackFallsBackToStepping)
{
    // Playing: after three seconds without a restart the player steps back from the frame on screen.
    {
        PlayerRig rig;
        prepare(rig, { Index::Absent }, 3);
        rig.player->setRate(-1);
        EXPECT_EQ(rig.asked(), (Asked { "backward", "speed 1", "play" }));
        rig.clock->advance(2999);
        EXPECT_EQ(rig.asked(), Asked {});
        rig.clock->advance(1);
        EXPECT_EQ(rig.asked(), (Asked { "forward", "hardware", "pause", "seek 3" }));
        EXPECT_EQ(rig.notices,
            QStringList {
                u"This clip cannot be played backwards: J steps back through it frame by frame."_s });
        EXPECT_EQ(rig.player->state().reach->index, Index::Broken);
        EXPECT_EQ(rig.player->rate(), -1.0);
        // And goes on stepping at the clock's pace.
        rig.core.land(3);
        rig.clock->advance(20);
        EXPECT_EQ(rig.asked(), Asked {});
        rig.clock->advance(10);
        EXPECT_EQ(rig.asked(), Asked { "seek 2.97" });
    }
    // Paused before it came back: forwards again, on the frame on screen.
    {
        PlayerRig rig;
        prepare(rig, { Index::Absent }, 3);
        rig.player->setRate(-1);
        rig.player->setRate(0);
        rig.asked();
        rig.clock->advance(3000);
        EXPECT_EQ(rig.asked(), (Asked { "forward", "hardware", "seek 3" }));
        EXPECT_EQ(rig.player->rate(), 0.0);
        EXPECT_TRUE(rig.notices.isEmpty());
    }
}

TEST(PlayerReverse, JBeforeTheIndexIsReadWaitsForItAndStartsFromThePlayHead)
{
    PlayerRig rig;
    rig.player->seek(2);
    rig.player->setRate(-1);
    rig.player->setRate(-2);
    rig.core.showFirstPicture(8, 25);
    EXPECT_EQ(rig.asked(), (Asked { "read reach", "seek 2" }));
    rig.core.land(2);
    EXPECT_EQ(rig.player->rate(), -2.0);
    rig.core.say(Report::ReachRead { usable });
    EXPECT_EQ(rig.asked(), (Asked { "backward", "speed 2", "play" }));
}

TEST(PlayerReverse, SteppingGoesAtTheClocksPaceAndHandsOverAtTheLastKeyframe)
{
    PlayerRig rig;
    prepare(rig, usable, 6.25);
    rig.player->setRate(-1);
    EXPECT_EQ(rig.asked(), (Asked { "pause", "seek 6.25" }));
    // One seek under way at a time, however long it takes.
    rig.clock->advance(100);
    EXPECT_EQ(rig.asked(), Asked {});
    rig.core.land(6.25);
    // The clock has gone on: the next seek is where it is now, not a frame after the last.
    rig.clock->advance(10);
    EXPECT_EQ(rig.asked(), Asked { "seek 6.14" });
    rig.core.land(6.125);
    // Still on the frame the clock says: nothing to seek.
    rig.clock->advance(10);
    EXPECT_EQ(rig.asked(), Asked {});
    rig.clock->advance(100);
    EXPECT_EQ(rig.asked(), Asked { "seek 6.1" });
    // Past the keyframe by the clock: to the keyframe, and mpv plays backwards from there.
    rig.clock->advance(200);
    rig.core.land(6.1);
    rig.clock->advance(10);
    EXPECT_EQ(rig.asked(), Asked { "seek 6" });
    rig.core.land(6);
    EXPECT_EQ(rig.asked(), (Asked { "backward", "speed 1", "play" }));
    EXPECT_TRUE(std::holds_alternative<Mode::PlayingBackward>(rig.player->state().mode));
    EXPECT_FALSE(rig.clock->running(PlayerTimer::SteppingTick));
    EXPECT_TRUE(rig.notices.isEmpty());
}

TEST(PlayerReverse, SteppingStopsAtTheFirstFrameAndTellsTheLoggerOnce)
{
    PlayerRig rig;
    prepare(rig, { Index::Broken }, 0.05);
    for (int run = 0; run < 2; ++run) {
        rig.player->setRate(-8);
        EXPECT_EQ(rig.asked(), (Asked { "pause", "seek 0.05" }));
        rig.core.land(0.05);
        rig.clock->advance(10);
        EXPECT_EQ(rig.asked(), Asked { "seek 0" });
        const int changes = rig.changes;
        rig.core.land(0);
        EXPECT_EQ(rig.player->rate(), 0.0);
        EXPECT_GT(rig.changes, changes);
        EXPECT_EQ(rig.asked(), Asked { "pause" });
        EXPECT_FALSE(rig.clock->running(PlayerTimer::SteppingTick));
        rig.parkAt(0.05);
    }
    EXPECT_EQ(rig.notices.size(), 1);
}

TEST(PlayerReverse, AFasterJWhileSteppingGoesOnFromWhereTheClockHasGot)
{
    PlayerRig rig;
    prepare(rig, { Index::Broken }, 3);
    rig.player->setRate(-1);
    rig.core.land(3);
    rig.clock->advance(200);
    EXPECT_EQ(rig.asked(), (Asked { "pause", "seek 3", "seek 2.97" }));
    // 0.2 s at normal speed took the clock to 2.8; from there on it goes twice as fast.
    rig.player->setRate(-2);
    rig.core.land(2.97);
    rig.clock->advance(10);
    EXPECT_EQ(rig.asked(), Asked { "seek 2.78" });
}

TEST(PlayerReverse, BackwardsTheEndIsTheFirstFrameAndNoEndOfTheClip)
{
    PlayerRig rig;
    prepare(rig, usable, 1);
    rig.player->setRate(-1);
    rig.core.land(1);
    rig.asked();
    rig.core.say(Report::Ended {});
    EXPECT_EQ(rig.ends, 0);
    EXPECT_EQ(rig.player->rate(), 0.0);
    EXPECT_EQ(rig.asked(), (Asked { "forward", "hardware", "pause" }));
}

TEST(PlayerReverse, AnMpvThatRefusesToPlayBackwardsIsSteppedThrough)
{
    PlayerRig rig;
    prepare(rig, usable, 3);
    rig.player->setRate(-1);
    rig.asked();
    rig.core.say(Report::Refused { CoreCommand::Direction, u"property not found"_s });
    EXPECT_EQ(rig.notices,
        (QStringList { u"The player refused “set play-dir”: property not found."_s,
            u"This clip cannot be played backwards: J steps back through it frame by frame."_s }));
    EXPECT_EQ(rig.asked(), (Asked { "pause", "seek 3" }));
    EXPECT_FALSE(rig.clock->running(PlayerTimer::BackwardStart));
    // A seek of the stepping refused: it stops where it is rather than asking again and again.
    rig.core.say(Report::Refused { CoreCommand::Seek, u"error"_s });
    EXPECT_EQ(rig.player->rate(), 0.0);
    rig.clock->advance(1000);
    EXPECT_EQ(rig.asked(), Asked {});
}

TEST(PlayerReverse, RefusedAtOnceTheDirectionStillEndsInStepping)
{
    PlayerRig rig;
    prepare(rig, usable, 3);
    rig.core.refusing = { CoreCommand::Direction };
    rig.player->setRate(-1);
    // The transition that asked runs to its end; the refusal's comes after it.
    EXPECT_EQ(rig.asked(), (Asked { "backward", "speed 1", "play", "pause", "seek 3" }));
    EXPECT_TRUE(std::holds_alternative<Mode::SteppingBackward>(rig.player->state().mode));
}

}
