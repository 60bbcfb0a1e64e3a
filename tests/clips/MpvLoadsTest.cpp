#include "clips/MpvLoads.h"

#include <gtest/gtest.h>

namespace {

// Load 1 with mpv's playlist entry 1, started.
MpvLoads firstLoadStarted()
{
    MpvLoads loads;
    loads.startLoad(1);
    loads.answered(loads.track(CoreCommand::Open));
    loads.opened(1);
    EXPECT_TRUE(loads.fileStarted(1));
    return loads;
}

TEST(MpvLoads, ReportsOfAFileReplacedByTheNextLoadAreNotTheNextOnes)
{
    MpvLoads loads = firstLoadStarted();
    const auto seekOfFirst = loads.track(CoreCommand::Seek);
    loads.startLoad(2);
    const auto open = loads.track(CoreCommand::Open);
    EXPECT_FALSE(loads.started());
    // The first file fails (or ends) after the second was asked for, before mpv answered.
    EXPECT_FALSE(loads.fileEnded(1));
    const auto refused = loads.answered(seekOfFirst);
    ASSERT_TRUE(refused);
    EXPECT_FALSE(loads.isCurrent(*refused));
    // The first file's start, as mpv replays the playlist, is not the second's either.
    loads.answered(open);
    loads.opened(2);
    EXPECT_FALSE(loads.fileStarted(1));
    EXPECT_FALSE(loads.started());
    EXPECT_TRUE(loads.fileStarted(2));
    EXPECT_TRUE(loads.isCurrent(*loads.answered(loads.track(CoreCommand::Pause))));
    EXPECT_TRUE(loads.fileEnded(2));
    EXPECT_FALSE(loads.started());
    // Each answer is given once.
    EXPECT_FALSE(loads.answered(open));
}

TEST(MpvLoads, WithoutTheEntrysNameTheNextFileToStartAfterTheReplyIsTheLoads)
{
    MpvLoads loads = firstLoadStarted();
    loads.startLoad(2);
    // Before the reply, a start is not taken for the load's.
    EXPECT_FALSE(loads.fileStarted(7));
    loads.opened(std::nullopt);
    EXPECT_TRUE(loads.fileStarted(8));
    EXPECT_FALSE(loads.fileStarted(9));
    EXPECT_TRUE(loads.fileEnded(8));
}

}
