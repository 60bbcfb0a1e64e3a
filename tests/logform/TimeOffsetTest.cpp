#include "logform/TimeOffset.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace {

const QDateTime recordingStart(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());

// The offset when the present moment lies `sinceStart` milliseconds after the recording start.
double offset(qint64 sinceStart, double playhead)
{
    return TimeOffset::secondsBetween(recordingStart.addMSecs(sinceStart), recordingStart, playhead);
}

TEST(TimeOffset, WorkedExampleGives91)
{
    const QDateTime present(QDate(2016, 3, 1), QTime(14, 8, 10), QTimeZone::utc());
    const double seconds = TimeOffset::secondsBetween(present, recordingStart, 90.4);
    EXPECT_EQ(seconds, 91.0);
    EXPECT_EQ(TimeOffset::text(seconds), QStringLiteral("91.0"));
}

TEST(TimeOffset, HalvesRoundAwayFromZero)
{
    EXPECT_EQ(TimeOffset::text(offset(2500, 0)), QStringLiteral("3.0"));
    EXPECT_EQ(TimeOffset::text(offset(0, 2.5)), QStringLiteral("-3.0"));
    EXPECT_EQ(TimeOffset::text(offset(2499, 0)), QStringLiteral("2.0"));
    EXPECT_EQ(TimeOffset::text(offset(0, 0)), QStringLiteral("0.0"));
    // Between -0.5 and 0 the value is a negative zero, and it says so.
    EXPECT_EQ(TimeOffset::text(offset(0, 0.4)), QStringLiteral("-0.0"));
    EXPECT_EQ(TimeOffset::text(offset(0, 0.5)), QStringLiteral("-1.0"));
    EXPECT_EQ(TimeOffset::text(offset(400, 0)), QStringLiteral("0.0"));
}

TEST(TimeOffset, FollowsThePlayHeadAndTheZoneOfTheStart)
{
    // A clip from a clock that runs ahead of the present is negative.
    EXPECT_EQ(TimeOffset::text(offset(-42'000, 0)), QStringLiteral("-42.0"));
    // Seeking back a minute raises the value by a minute.
    EXPECT_EQ(offset(600'000, 5) - offset(600'000, 65), 60.0);
    // The zone written in the start decides the moment: the same start in another zone is the same value.
    const QDateTime present = recordingStart.addSecs(120);
    const QDateTime sameStartElsewhere = recordingStart.toOffsetFromUtc(-5 * 3600);
    EXPECT_EQ(TimeOffset::secondsBetween(present, sameStartElsewhere, 0), 120.0);
    EXPECT_EQ(TimeOffset::text(1e9), QStringLiteral("1000000000.0"));
}

TEST(TimeOffset, CookieIsAHostOnlySessionCookieAtTheRoot)
{
    const QNetworkCookie cookie = TimeOffset::cookie(-0.0);
    EXPECT_EQ(cookie.name(), QByteArrayLiteral("time_offset"));
    EXPECT_EQ(cookie.value(), QByteArrayLiteral("-0.0"));
    EXPECT_EQ(cookie.path(), QStringLiteral("/"));
    EXPECT_TRUE(cookie.domain().isEmpty());
    EXPECT_TRUE(cookie.isSessionCookie());
    EXPECT_FALSE(cookie.isSecure());
    EXPECT_FALSE(cookie.isHttpOnly());
}

}
