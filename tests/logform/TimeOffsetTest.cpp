#include "logform/TimeOffset.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

const QDateTime recordingStart(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());

// The offset when the present moment lies `sinceStart` milliseconds after the recording start.
double offset(qint64 sinceStart, double playhead)
{
    return TimeOffset::secondsBetween(recordingStart.addMSecs(sinceStart), recordingStart, playhead);
}

TEST(TimeOffset, WholeSecondsWithHalvesAwayFromZeroAndTheSignKept)
{
    const struct
    {
        qint64 sinceStart;
        double playhead;
        const char* text;
    } cases[] = {
        { 181'000, 90.4, "91.0" }, // present 14:08:10
        { 2500, 0, "3.0" }, { 0, 2.5, "-3.0" }, { 2499, 0, "2.0" }, { 400, 0, "0.0" }, { 0, 0, "0.0" },
        { 0, 0.4, "-0.0" }, // between -0.5 and 0 the value is a negative zero, and it says so
        { 0, 0.5, "-1.0" }, { -42'000, 0, "-42.0" }, // a clip from a clock that runs ahead of the present
    };
    for (const auto& [sinceStart, playhead, text] : cases)
        EXPECT_EQ(TimeOffset::text(offset(sinceStart, playhead)), QLatin1String(text))
            << sinceStart << " ms, play head " << playhead;
    EXPECT_EQ(offset(181'000, 90.4), 91.0);
    EXPECT_EQ(TimeOffset::text(1e9), u"1000000000.0"_s);
}

TEST(TimeOffset, FollowsThePlayHeadAndTheZoneOfTheStart)
{
    // Seeking back a minute raises the value by a minute.
    EXPECT_EQ(offset(600'000, 5) - offset(600'000, 65), 60.0);
    // The zone written in the start decides the moment: the same start in another zone is the same value.
    EXPECT_EQ(
        TimeOffset::secondsBetween(recordingStart.addSecs(120), recordingStart.toOffsetFromUtc(-5 * 3600), 0),
        120.0);
}

TEST(TimeOffset, CookieIsAHostOnlySessionCookieAtTheRoot)
{
    const QNetworkCookie cookie = TimeOffset::cookie(-0.0);
    EXPECT_EQ(cookie.name(), QByteArrayLiteral("time_offset"));
    EXPECT_EQ(cookie.value(), QByteArrayLiteral("-0.0"));
    EXPECT_EQ(cookie.path(), u"/"_s);
    EXPECT_TRUE(cookie.domain().isEmpty());
    EXPECT_TRUE(cookie.isSessionCookie());
    EXPECT_FALSE(cookie.isSecure());
    EXPECT_FALSE(cookie.isHttpOnly());
}

}
