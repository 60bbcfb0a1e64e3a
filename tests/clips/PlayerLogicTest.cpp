#include "ClipFixtures.h"

#include "clips/BackwardReach.h"
#include "clips/StepGate.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using ClipFixtures::Kind;
using Step = StepGate::Step;
using Unit = StepGate::Unit;

// A run of key events and landings, and the steps the gate lets through, written as text: "<" and ">"
// are presses, "<r" a held key's repeat, "!" a landing, "^" the key let go; the steps made are written
// "<" and ">" (with Shift "{" and "}").
std::string run(const std::string& events)
{
    StepGate gate;
    std::string made;
    const auto note = [&](std::optional<Step> step) {
        if (step)
            made += step->unit == Unit::Second ? (step->direction < 0 ? '{' : '}')
                                               : (step->direction < 0 ? '<' : '>');
    };
    for (size_t i = 0; i < events.size(); ++i) {
        const char event = events[i];
        const bool repeat = i + 1 < events.size() && events[i + 1] == 'r';
        switch (event) {
        case '<':
        case '>':
        case '{':
        case '}': {
            const int direction = event == '<' || event == '{' ? -1 : 1;
            const Unit unit = event == '{' || event == '}' ? Unit::Second : Unit::Frame;
            note(gate.press({ direction, unit }, repeat));
            break;
        }
        case '!':
            note(gate.landed());
            break;
        case '^':
            gate.release();
            break;
        }
    }
    return made + (gate.busy() ? " busy" : "");
}

TEST(StepGate, StepsOneAtATimeAndLeavesNoBacklogOfAHeldKey)
{
    const struct
    {
        const char* events;
        const char* made;
    } cases[] = {
        { "<!", "<" },
        { "<!<!>!", "<<>" },
        // Taps while a step is under way are kept in order, each once it is its turn.
        { "<<<!!!", "<<<" },
        { "<<<!!", "<<< busy" },
        // A tap that undoes the one waiting cancels it; one that undoes the step under way cannot.
        { "<<>!", "<" },
        { "<>!!", "<>" },
        { "<}{!", "<" },
        // A held key: its repeats while a step is under way come down to one, made when it lands.
        { "<<r<r<r!<r!", "<<< busy" },
        { "><r>r!!", ">>" },
        // Let go, the key leaves only the step under way behind it.
        { "<<r<r^!", "<" },
        { "<<r<r^!<!", "<<" },
        // Taps go before a repeat.
        { "<<r>!!!", "<><" },
        { "}{r!{!!", "}{{" },
    };
    for (const auto& [events, made] : cases)
        EXPECT_EQ(run(events), made) << events;

    // A logger cannot out-tap a slow step by much; beyond that, taps are dropped.
    EXPECT_EQ(run(std::string(40, '>') + std::string(40, '!')), std::string(17, '>'));
    StepGate gate;
    gate.press({ -1 }, false);
    gate.press({ -1 }, false);
    gate.reset();
    EXPECT_FALSE(gate.busy());
    EXPECT_EQ(gate.press({ 1 }, true), (Step { 1 }));
}

TEST(ReverseRoute, PlaysBackwardsWhereAKeyframeFollowsAndStepsWhereNoneDoes)
{
    using Index = BackwardReach::Index;
    using Way = ReverseRoute::Way;
    const BackwardReach usable { Index::Usable, 6.0, 7.96, false };
    const BackwardReach truncated { Index::Usable, 3.92, 4.28, false };
    const struct
    {
        BackwardReach reach;
        double position;
        ReverseRoute route;
    } cases[] = {
        { usable, 3.0, { Way::Backward, 3.0, 0 } },
        { usable, 6.0, { Way::Backward, 6.0, 0 } },
        // In the last group of pictures: steps back to its keyframe, backward play from there.
        { usable, 6.04, { Way::StepToKeyframe, 6.04, 6.0 } },
        { usable, 7.96, { Way::StepToKeyframe, 7.96, 6.0 } },
        // Past the point where a clip is cut: from its last frame.
        { truncated, 7.0, { Way::StepToKeyframe, 4.28, 3.92 } },
        { truncated, 4.1, { Way::StepToKeyframe, 4.1, 3.92 } },
        { truncated, 2.0, { Way::Backward, 2.0, 0 } },
        { { Index::Broken }, 5.0, { Way::Step, 5.0, 0 } },
        // No index to go by: mpv is tried (and watched).
        { { Index::Absent }, 5.0, { Way::Backward, 5.0, 0 } },
    };
    for (const auto& [reach, position, route] : cases)
        EXPECT_EQ(reverseRoute(reach, position), route) << position;
}

TEST(BackwardReach, ReadsTheLastKeyframeWhoseDataIsInTheFile)
{
    QTemporaryDir folder;
    const auto read = [&](Kind kind) {
        return BackwardReach::read(ClipFixtures::copy(kind, folder.filePath(ClipFixtures::fileName(kind))));
    };
    // Index times are decoding times: B-frames put them a few frames before the times shown.
    const BackwardReach longGop = read(Kind::GopMp4);
    EXPECT_EQ(longGop.index, BackwardReach::Index::Usable);
    EXPECT_NEAR(longGop.lastKeyframe, 6.0, 0.1);
    EXPECT_NEAR(longGop.lastFrame, 7.96, 0.1);
    EXPECT_FALSE(longGop.intraOnly);

    const BackwardReach intra = read(Kind::ProResLongMov);
    EXPECT_EQ(intra.index, BackwardReach::Index::Usable);
    EXPECT_NEAR(intra.lastKeyframe, 3.96, 0.01);
    EXPECT_TRUE(intra.intraOnly);

    // Cut after 55 % of its bytes, the clip keeps about the first half of its frames; its index still
    // names them all.
    const BackwardReach truncated = read(Kind::TruncatedMp4);
    EXPECT_EQ(truncated.index, BackwardReach::Index::Usable);
    EXPECT_LT(truncated.lastKeyframe, longGop.lastKeyframe);
    EXPECT_GT(truncated.lastFrame, truncated.lastKeyframe);
    EXPECT_LT(truncated.lastFrame, 6.0);

    EXPECT_EQ(read(Kind::BrokenIndexMp4).index, BackwardReach::Index::Broken);
    EXPECT_EQ(read(Kind::Mpeg2Mxf).index, BackwardReach::Index::Absent);
    QFile text(folder.filePath(u"list.mov"_s));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("#EXTM3U\nhttp://127.0.0.1:9/clip.mp4\n");
    text.close();
    EXPECT_EQ(BackwardReach::read(text.fileName()).index, BackwardReach::Index::Absent);
}

TEST(BackwardReach, ReadsAClipOnlyAsItsTypeAndNeverWaitsOnAFifo)
{
    QTemporaryDir folder;
    const QString gop = ClipFixtures::copy(Kind::GopMp4, folder.filePath(u"A001.mp4"_s));
    // The same clip under the name of another type is no clip of that type: its index is not read.
    const QString renamed = folder.filePath(u"A001.mkv"_s);
    ASSERT_TRUE(QFile::copy(gop, renamed));
    EXPECT_EQ(BackwardReach::read(gop).index, BackwardReach::Index::Usable);
    EXPECT_EQ(BackwardReach::read(renamed).index, BackwardReach::Index::Absent);

    // Opened for reading, a FIFO would wait for a writer for ever; should the read wait after all, a
    // writer comes after a while, so that the test fails instead of hanging.
    const QString fifo = folder.filePath(u"A002.mov"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    std::promise<BackwardReach::Index> index;
    std::thread reader([&] { index.set_value(BackwardReach::read(fifo).index); });
    auto answer = index.get_future();
    const bool answered = answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!answered) {
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    reader.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(answer.get(), BackwardReach::Index::Absent);
}

}
