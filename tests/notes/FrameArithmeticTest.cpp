#include "notes/FrameRate.h"
#include "notes/SourceTimecode.h"

#include "TextPrinting.h"

#include <gtest/gtest.h>

namespace {

constexpr FrameRate ntsc2997 { 30000, 1001 };
constexpr FrameRate ntsc5994 { 60000, 1001 };
constexpr FrameRate film { 24000, 1001 };
constexpr FrameRate pal { 25, 1 };

TEST(FrameRate, TakesWhatContainersWriteAsTheExactRate)
{
    struct Case
    {
        qint64 numerator, denominator;
        std::optional<FrameRate> expected;
    };
    const Case cases[] = {
        { 2997, 100, ntsc2997 },
        { 30000, 1001, ntsc2997 },
        { 2997003, 100000, ntsc2997 },
        { 23976, 1000, film },
        { 24000, 1001, film },
        { 5994, 100, ntsc5994 },
        { 120000, 2002, ntsc5994 },
        { 2500, 100, pal },
        { 25, 1, pal },
        { 24, 1, FrameRate { 24, 1 } }, // a whole rate is never taken for its NTSC neighbour
        { 30, 1, FrameRate { 30, 1 } },
        { 25, 2, FrameRate { 25, 2 } },
        { 1000, 1, FrameRate { 1000, 1 } },
        { 1001, 1, std::nullopt },
        { 0, 1, std::nullopt },
        { -25, 1, std::nullopt },
        { 25, 0, std::nullopt },
        { 25, -1, std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FrameRate::fromFraction(c.numerator, c.denominator), c.expected)
            << c.numerator << "/" << c.denominator;

    EXPECT_EQ(ntsc2997.timebase(), 30);
    EXPECT_EQ(film.timebase(), 24);
    EXPECT_EQ(ntsc5994.timebase(), 60);
    EXPECT_TRUE(film.isNtsc());
    EXPECT_FALSE(film.allowsDropFrame()) << "23.976 has no drop-frame timecode";
    EXPECT_TRUE(ntsc2997.allowsDropFrame());
    EXPECT_TRUE(ntsc5994.allowsDropFrame());
    EXPECT_FALSE((FrameRate { 30, 1 }).allowsDropFrame());
}

TEST(SourceTimecode, CountsFramesAcrossTheDropFrameMinutes)
{
    struct Case
    {
        const char* text;
        FrameRate rate;
        qint64 frames;
        const char* written; // as text() writes it back
    };
    const Case cases[] = {
        { "00:00:00:00", pal, 0, "00:00:00:00" },
        { "10:00:00:00", pal, 900000, "10:00:00:00" },
        { "00:00:01:00", FrameRate { 50, 1 }, 50, "00:00:01:00" },
        { "23:59:59:29", FrameRate { 30, 1 }, 2591999, "23:59:59:29" },
        { "01:00:00:00", film, 86400, "01:00:00:00" },
        { "00:00:59;29", ntsc2997, 1799, "00:00:59;29" },
        { "00:01:00;02", ntsc2997, 1800, "00:01:00;02" },
        { "00:01:00.02", ntsc2997, 1800, "00:01:00;02" },
        { "00:09:59;29", ntsc2997, 17981, "00:09:59;29" },
        { "00:10:00;00", ntsc2997, 17982, "00:10:00;00" },
        { "00:10:00;01", ntsc2997, 17983, "00:10:00;01" },
        { "01:00:00;00", ntsc2997, 107892, "01:00:00;00" },
        { "01:00:00:00", ntsc2997, 108000, "01:00:00:00" },
        { "00:00:59;59", ntsc5994, 3599, "00:00:59;59" },
        { "00:01:00;04", ntsc5994, 3600, "00:01:00;04" },
        { "00:10:00;00", ntsc5994, 35964, "00:10:00;00" },
    };
    for (const Case& c : cases) {
        const auto timecode = SourceTimecode::parse(QString::fromLatin1(c.text), c.rate);
        ASSERT_TRUE(timecode) << c.text;
        EXPECT_EQ(timecode->frameCount(), c.frames) << c.text;
        EXPECT_EQ(timecode->text(), QString::fromLatin1(c.written)) << c.text;
    }
}

TEST(SourceTimecode, RefusesFramesTheTimecodeDoesNotHave)
{
    const std::pair<const char*, FrameRate> cases[] = {
        { "00:01:00;00", ntsc2997 }, // dropped
        { "00:01:00;01", ntsc2997 },
        { "00:01:00;03", ntsc5994 },
        { "00:00:00;00", pal }, // no drop-frame at 25
        { "00:00:00;00", film },
        { "00:00:00:25", pal },
        { "00:00:00:30", ntsc2997 },
        { "24:00:00:00", pal },
        { "00:60:00:00", pal },
        { "00:00:60:00", pal },
        { "0:00:00:00", pal },
        { "00-00-00-00", pal },
        { "aa:bb:cc:dd", pal },
        { "", pal },
    };
    for (const auto& [text, rate] : cases)
        EXPECT_FALSE(SourceTimecode::parse(QString::fromLatin1(text), rate)) << text;
    EXPECT_TRUE(SourceTimecode::parse(u"00:10:00;00", ntsc2997)) << "every tenth minute keeps its frames";
}

TEST(SourceTimecode, EveryFrameOfTwentyDropFrameMinutesReadsBackAsWritten)
{
    for (const FrameRate rate : { ntsc2997, ntsc5994 }) {
        const SourceTimecode start = *SourceTimecode::parse(u"00:00:00;00", rate);
        QString previous;
        for (qint64 frame = 0; frame < 20 * 60 * rate.timebase(); ++frame) {
            const QString text = start.plusFrames(frame).text();
            ASSERT_NE(text, previous);
            const auto parsed = SourceTimecode::parse(text, rate);
            ASSERT_TRUE(parsed) << text.toStdString();
            ASSERT_EQ(parsed->frameCount(), frame) << text.toStdString();
            previous = text;
        }
    }
}

TEST(SourceTimecode, WrapsAtTwentyFourHoursBothWays)
{
    EXPECT_EQ(SourceTimecode::parse(u"23:59:59:24", pal)->plusFrames(1).text(), QStringLiteral("00:00:00:00"));
    EXPECT_EQ(SourceTimecode::parse(u"23:59:59;29", ntsc2997)->plusFrames(1).text(), QStringLiteral("00:00:00;00"));
    EXPECT_EQ(SourceTimecode::zero(pal).plusFrames(-1).text(), QStringLiteral("23:59:59:24"));
    EXPECT_EQ(SourceTimecode::parse(u"00:00:59;29", ntsc2997)->plusFrames(1).text(), QStringLiteral("00:01:00;02"));
    EXPECT_EQ(SourceTimecode::parse(u"00:00:59;59", ntsc5994)->plusFrames(1).text(), QStringLiteral("00:01:00;04"));
    EXPECT_EQ(SourceTimecode::zero(pal).plusFrames(3 * 24 * 3600 * 25 + 7).text(), QStringLiteral("00:00:00:07"));
}

}
