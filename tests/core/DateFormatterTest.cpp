#include "core/DateFormatter.h"
#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

namespace {

DateFormatter recordingTimeFormatter()
{
    DateFormatter formatter;
    formatter.setDateFormat(DateFormatter::recordingTimeFormat.toString());
    return formatter;
}

TEST(DateFormatter, ReadsTheMomentTheZoneNames)
{
    const auto formatter = recordingTimeFormatter();
    const auto utc = formatter.dateFromString(u"2016-03-01 14:05:09 +0000");
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->toUTC(), QDateTime(QDate(2016, 3, 1), QTime(14, 5, 9), Qt::UTC));
    const auto ahead = formatter.dateFromString(u"2016-03-01 16:35:09 +0230");
    ASSERT_TRUE(ahead);
    EXPECT_EQ(*ahead, *utc);
    const auto behind = formatter.dateFromString(u"2016-03-01 09:05:09 -0500");
    ASSERT_TRUE(behind);
    EXPECT_EQ(*behind, *utc);
}

TEST(DateFormatter, RejectsEverythingElse)
{
    const auto formatter = recordingTimeFormatter();
    for (const char16_t* text : { u"stopped", u"", u"2016-03-01 14:05:09", u"2016-03-01 14:05:09 +000",
                                  u"2016-03-01 14:05:09 +00000", u"2016-02-30 14:05:09 +0000",
                                  u"2016-03-01 24:00:00 +0000", u"2016-03-01 14:60:09 +0000",
                                  u"2016-03-01T14:05:09 +0000", u"2016-03-01 14:05:09 0000",
                                  u"2016-03-01 14:05:09 +0060", u"２016-03-01 14:05:09 +0000" })
        EXPECT_FALSE(formatter.dateFromString(text)) << QString::fromUtf16(text).toStdString();
}

TEST(DateFormatter, ReadsNothingBeforeItsFormatIsSet)
{
    EXPECT_FALSE(DateFormatter().dateFromString(u"2016-03-01 14:05:09 +0000"));
}

TEST(DateFormatter, StandardDescriptionIsUtcAndReadsBack)
{
    const QDateTime moment(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::OffsetFromUTC, -3600);
    const QString text = DateFormatter::standardDescription(moment);
    EXPECT_EQ(text, QStringLiteral("2000-01-01 00:59:59 +0000"));
    EXPECT_EQ(recordingTimeFormatter().dateFromString(text), moment);
}

TEST(DateFormatter, WritesInTheLocalZoneAndReadsBack)
{
    const auto formatter = recordingTimeFormatter();
    const QDateTime moment(QDate(2024, 7, 1), QTime(8, 0, 0), Qt::UTC);
    const auto back = formatter.dateFromString(formatter.stringFromDate(moment));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, moment);
}

TEST(DateFormatter, WritesTheOffsetTheLocalZoneHasAtThatMoment)
{
    const auto formatter = recordingTimeFormatter();
    const auto utc = [](int month, int day, int hour, int minute, int second) {
        return QDateTime(QDate(2024, month, day), QTime(hour, minute, second), Qt::UTC);
    };
    const struct
    {
        const char* zone;
        QDateTime moment;
        const char16_t* text;
    } cases[] = {
        { "Asia/Kolkata", utc(7, 1, 8, 0, 0), u"2024-07-01 13:30:00 +0530" },
        // Half an hour behind: the sign holds for the minutes too.
        { "America/St_Johns", utc(1, 15, 12, 0, 0), u"2024-01-15 08:30:00 -0330" },
        { "America/St_Johns", utc(7, 1, 2, 0, 0), u"2024-06-30 23:30:00 -0230" },
        // Either side of the clocks going forward, and of the hour that autumn shows twice.
        { "Europe/Berlin", utc(3, 31, 0, 59, 59), u"2024-03-31 01:59:59 +0100" },
        { "Europe/Berlin", utc(3, 31, 1, 0, 0), u"2024-03-31 03:00:00 +0200" },
        { "Europe/Berlin", utc(10, 27, 0, 59, 59), u"2024-10-27 02:59:59 +0200" },
        { "Europe/Berlin", utc(10, 27, 1, 0, 0), u"2024-10-27 02:00:00 +0100" },
    };
    for (const auto& [zone, moment, text] : cases) {
        const LocalTimeZone local(zone);
        EXPECT_EQ(formatter.stringFromDate(moment), QString::fromUtf16(text)) << zone;
        EXPECT_EQ(formatter.dateFromString(text), moment) << zone;
    }
}
}
