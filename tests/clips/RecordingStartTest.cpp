#include "clips/RecordingStart.h"
#include "clips/Clip.h"
#include "clips/ClipMetadata.h"
#include "clips/ClipTableText.h"
#include "clips/Timecode.h"
#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

using RecordingStart::Source;

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

const QDateTime now = utc(2024, 5, 2, 12, 0, 0);

TEST(RecordingStart, ParsesTheDatesDemuxersWriteAndNothingElse)
{
    const struct
    {
        const char16_t* text;
        QDateTime moment; // invalid: no date
    } cases[] = {
        { u"2016-03-01T14:05:09.000000Z", utc(2016, 3, 1, 14, 5, 9) },
        { u"2016-03-01T14:05:09Z", utc(2016, 3, 1, 14, 5, 9) },
        // QuickTime's creationdate: the camera's wall clock and its zone.
        { u"2016-03-01T15:05:09+0100", utc(2016, 3, 1, 14, 5, 9) },
        { u"2016-03-01T09:05:09-05:00", utc(2016, 3, 1, 14, 5, 9) },
        // No zone: the containers' convention, UTC.
        { u"2016-03-01T14:05:09", utc(2016, 3, 1, 14, 5, 9) },
        { u" 2016-03-01T14:05:09Z\n", utc(2016, 3, 1, 14, 5, 9) },
        { u"garbage", {} },
        { u"", {} },
        { u"2016-13-01T00:00:00Z", {} },
        { u"0000-00-00T00:00:00.000000Z", {} },
        { u"1 March 2016", {} },
    };
    for (const auto& [text, moment] : cases) {
        const auto parsed = RecordingStart::parse(text);
        EXPECT_EQ(parsed.has_value(), moment.isValid()) << QString::fromUtf16(text).toStdString();
        if (parsed && moment.isValid()) {
            EXPECT_EQ(*parsed, moment) << QString::fromUtf16(text).toStdString();
        }
    }
}

TEST(RecordingStart, OnlyDatesFrom1990ToADayAheadArePlausible)
{
    const struct
    {
        QDateTime moment;
        bool plausible;
    } cases[] = {
        { utc(1970, 1, 1), false }, // a clock that was never set
        { utc(1904, 1, 1), false }, // QuickTime's zero
        { utc(1989, 12, 31, 23, 59, 59), false },
        { utc(1990, 1, 1), true },
        { now, true },
        { now.addSecs(24 * 3600), true }, // a camera clock a zone ahead
        { now.addSecs(24 * 3600 + 1), false },
        { utc(2100, 1, 1), false },
        { QDateTime(), false },
    };
    for (const auto& [moment, plausible] : cases)
        EXPECT_EQ(RecordingStart::isPlausible(moment, now), plausible) << moment.toString().toStdString();
}

TEST(RecordingStart, TrustsTheClipThenTheBirthTimeThenTheModificationTime)
{
    const QDateTime recorded = utc(2024, 5, 2, 9, 30);
    const QDateTime copied = utc(2024, 5, 2, 11, 45);
    const QDateTime modified = utc(2024, 5, 2, 10, 0);
    const std::optional<QDateTime> none;
    const struct
    {
        std::optional<QDateTime> clip;
        std::optional<QDateTime> birth;
        RecordingStart::Choice chosen;
    } cases[] = {
        { recorded, copied, { recorded, Source::Clip } },
        { none, copied, { copied, Source::BirthTime } },
        { utc(1970, 1, 1), copied, { copied, Source::BirthTime } },
        { now.addDays(2), copied, { copied, Source::BirthTime } },
        // A file system without birth times, or with a nonsensical one, still gives a date.
        { none, none, { modified, Source::ModificationTime } },
        { none, utc(1970, 1, 1), { modified, Source::ModificationTime } },
    };
    for (const auto& [clip, birth, chosen] : cases)
        EXPECT_EQ(RecordingStart::choose(clip, birth, modified, now), chosen)
            << (clip ? clip->toString().toStdString() : "none") << " / "
            << (birth ? birth->toString().toStdString() : "none");
    // Never dropped for want of a date: an implausible modification time is all there is.
    EXPECT_EQ(RecordingStart::choose(none, none, utc(1970, 1, 1), now).moment, utc(1970, 1, 1));
}

TEST(RecordingStart, TheClipsFirstGoodDateWins)
{
    EXPECT_EQ(RecordingStart::fromClip({ u"garbage"_s, u"1970-01-02T00:00:00Z"_s, u"2016-03-01T14:05:09Z"_s,
                                           u"2017-01-01T00:00:00Z"_s },
                  now),
        utc(2016, 3, 1, 14, 5, 9));
    EXPECT_FALSE(RecordingStart::fromClip({ u"garbage"_s, u"2099-01-01T00:00:00Z"_s }, now));
    EXPECT_FALSE(RecordingStart::fromClip({}, now));
}

// The record keeps the whole second, so that its "created" text, the file's attribute and the cookie made
// from it all name one moment; a date the clip does not really carry leaves the scan's date alone.
TEST(RecordingStart, TheRecordTakesTheClipsDateToTheWholeSecond)
{
    const QDateTime now = utc(2026, 1, 1);
    Clip clip { u"A001.MOV"_s, u"/card/A001.MOV"_s, { utc(2020, 5, 5, 5, 5, 5), Source::BirthTime } };
    ClipMetadata metadata;
    metadata.dates = { u"1970-01-01T00:00:00.000000Z"_s, u"not a date"_s };
    EXPECT_FALSE(clip.takeRecordingDate(metadata, now));
    EXPECT_EQ(clip.start, (RecordingStart::Choice { utc(2020, 5, 5, 5, 5, 5), Source::BirthTime }));

    metadata.dates = { u"2016-03-01T15:05:09.999000+0100"_s };
    EXPECT_TRUE(clip.takeRecordingDate(metadata, now));
    EXPECT_EQ(clip.start, (RecordingStart::Choice { utc(2016, 3, 1, 14, 5, 9), Source::Clip }));
    EXPECT_EQ(clip.created(), u"2016-03-01 14:05:09 +0000"_s);
}

TEST(Timecode, CountsOnFromTheStartAtTheClipsRate)
{
    const ClipMetadata::Rate pal { 25, 1 }, ntsc { 30000, 1001 }, ntscDouble { 60000, 1001 },
        film { 24000, 1001 };
    const struct
    {
        const char16_t* start;
        ClipMetadata::Rate rate;
        double seconds;
        const char16_t* expected;
    } cases[] = {
        { u"10:11:12:13", pal, 0, u"10:11:12:13" },
        { u"10:11:12:13", pal, 1.0, u"10:11:13:13" },
        { u"10:11:12:13", pal, 0.44, u"10:11:12:24" },
        { u"10:11:12:13", pal, 0.48, u"10:11:13:00" },
        { u"10:11:12:13", pal, 0.48 - 1e-9, u"10:11:13:00" }, // a hair below a frame names that frame
        { u"23:59:59:24", pal, 0.04, u"00:00:00:00" }, // wraps at midnight
        { u"00:00:00:00", pal, 3 * 86400.0 + 1, u"00:00:01:00" },
        { u"00:00:00:00", pal, -1, u"00:00:00:00" },
        // Non-drop at 29.97: frames count 0 to 29 and the timecode falls behind the clock.
        { u"00:00:00:00", ntsc, 3600, u"00:59:56:12" },
        { u"00:00:00;00", ntsc, 3600, u"01:00:00;00" },
        // Drop-frame skips frames 0 and 1 at each minute but every tenth.
        { u"00:00:59;29", ntsc, 1001 / 30000.0, u"00:01:00;02" },
        { u"00:09:59;29", ntsc, 1001 / 30000.0, u"00:10:00;00" },
        { u"00:00:59;59", ntscDouble, 1001 / 60000.0, u"00:01:00;04" },
        { u"01:00:00:00", film, 1001.0 / 24000 * 24, u"01:00:01:00" },
    };
    for (const auto& [start, rate, seconds, expected] : cases) {
        const auto timecode = Timecode::parse(start, rate);
        ASSERT_TRUE(timecode) << QString::fromUtf16(start).toStdString();
        EXPECT_EQ(timecode->at(seconds), QString::fromUtf16(expected))
            << QString::fromUtf16(start).toStdString() << " + " << seconds;
    }
    EXPECT_TRUE(Timecode::parse(u"10:00:00;00", ntsc)->isDropFrame());
    EXPECT_FALSE(Timecode::parse(u"10:00:00:00", ntsc)->isDropFrame());
}

TEST(Timecode, RefusesWhatIsNoTimecodeAtThatRate)
{
    const ClipMetadata::Rate pal { 25, 1 }, ntsc { 30000, 1001 };
    const struct
    {
        const char16_t* text;
        ClipMetadata::Rate rate;
    } cases[] = {
        { u"", pal },
        { u"garbage", pal },
        { u"10:00:00", pal },
        { u"1:00:00:00", pal },
        { u"24:00:00:00", pal },
        { u"10:60:00:00", pal },
        { u"10:00:60:00", pal },
        { u"10:00:00:25", pal }, // frames run 0 to 24
        { u"10:00:00;00", pal }, // no drop-frame at 25
        { u"00:01:00;00", ntsc }, // dropped: the minute starts at frame 2
        { u"10:00:00:00", { 0, 0 } }, // the rate is not known
        { u"１0:00:00:00", pal },
    };
    for (const auto& [text, rate] : cases)
        EXPECT_FALSE(Timecode::parse(text, rate)) << QString::fromUtf16(text).toStdString();
}

TEST(ClipTableText, FormatNamesCodecSizeAndRateAsLoggersDo)
{
    ClipMetadata prores;
    prores.codec = u"prores"_s;
    prores.width = 1920;
    prores.height = 1080;
    prores.frameRate = { 25, 1 };
    EXPECT_EQ(ClipTableText::format(prores), u"ProRes 1920×1080 25 fps"_s);
    ClipMetadata h264 = prores;
    h264.codec = u"h264"_s;
    h264.frameRate = { 30000, 1001 };
    EXPECT_EQ(ClipTableText::format(h264), u"H.264 1920×1080 29.97 fps"_s);
    h264.frameRate = { 24000, 1001 };
    EXPECT_EQ(ClipTableText::format(h264), u"H.264 1920×1080 23.976 fps"_s);
    EXPECT_EQ(ClipTableText::format(ClipMetadata {}), QString());

    EXPECT_EQ(ClipTableText::codecName(u"dnxhd"_s, 0), u"DNxHD"_s);
    EXPECT_EQ(ClipTableText::codecName(u"dnxhd"_s, 1), u"DNxHR"_s);
    EXPECT_EQ(ClipTableText::codecName(u"mpeg2video"_s, -99), u"MPEG-2"_s);
    EXPECT_EQ(ClipTableText::codecName(u"cfhd"_s, -99), u"CFHD"_s);

    EXPECT_EQ(ClipTableText::duration(20, { 25, 1 }), u"00:00:20:00"_s);
    EXPECT_EQ(ClipTableText::duration(0, { 25, 1 }), QString());
}

TEST(ClipTableText, RecordingStartIsShownInLocalTime)
{
    const struct
    {
        const char* zone;
        QDateTime moment;
        const char16_t* shown;
    } cases[] = {
        // Half an hour ahead, into the next day; three and a half hours behind, into the day before.
        { "Asia/Kolkata", utc(2016, 3, 1, 20, 0, 0), u"2016-03-02 01:30:00" },
        { "America/St_Johns", utc(2016, 3, 1, 2, 5, 9), u"2016-02-29 22:35:09" },
        { "Europe/Berlin", utc(2024, 3, 31, 0, 59, 59), u"2024-03-31 01:59:59" },
        { "Europe/Berlin", utc(2024, 3, 31, 1, 0, 0), u"2024-03-31 03:00:00" },
    };
    for (const auto& [zone, moment, shown] : cases) {
        const LocalTimeZone local(zone);
        EXPECT_EQ(ClipTableText::recordingStart(moment), QString::fromUtf16(shown)) << zone;
    }
    EXPECT_EQ(ClipTableText::recordingStart(QDateTime()), QString());
}
}
