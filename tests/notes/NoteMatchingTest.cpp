#include "notes/NoteMatching.h"

#include "TextPrinting.h"

#include <gtest/gtest.h>

namespace {

const QDateTime start = QDateTime::fromString(QStringLiteral("2026-12-07T14:00:00.000+01:00"), Qt::ISODateWithMs);

MarkerClip clip(const char* name, qint64 startOffsetMs, double seconds, std::optional<FrameRate> rate,
    const char* timecode = "")
{
    MarkerClip made;
    made.name = QString::fromLatin1(name);
    made.path = QStringLiteral("/card/") + made.name;
    made.recordingStart = start.addMSecs(startOffsetMs);
    made.durationSeconds = seconds;
    made.rate = rate;
    made.startTimecode = QString::fromLatin1(timecode);
    return made;
}

LogNote note(qint64 id, std::optional<qint64> offsetMs)
{
    LogNote made;
    made.id = id;
    if (offsetMs)
        made.recordedAt = start.addMSecs(*offsetMs);
    made.text = QStringLiteral("note %1").arg(id);
    return made;
}

std::vector<qint64> ids(const std::vector<LogNote>& notes)
{
    std::vector<qint64> found;
    for (const LogNote& n : notes)
        found.push_back(n.id);
    return found;
}

TEST(NoteMatching, PlacesANoteOnTheFrameUnderItsRecordingTime)
{
    struct Case
    {
        FrameRate rate;
        const char* timecode;
        qint64 offsetMs;
        qint64 frame;
        const char* sourceTimecode;
    };
    const Case cases[] = {
        { { 25, 1 }, "10:00:00:00", 0, 0, "10:00:00:00" },
        { { 25, 1 }, "10:00:00:00", 39, 0, "10:00:00:00" },
        { { 25, 1 }, "10:00:00:00", 40, 1, "10:00:00:01" },
        { { 25, 1 }, "10:00:00:00", 3003, 75, "10:00:03:00" },
        { { 24, 1 }, "", 1000, 24, "00:00:01:00" },
        { { 24000, 1001 }, "01:00:00:00", 1000, 23, "01:00:00:23" },
        { { 24000, 1001 }, "01:00:00:00", 1001, 24, "01:00:01:00" },
        { { 30, 1 }, "", 33, 0, "00:00:00:00" },
        { { 30, 1 }, "", 34, 1, "00:00:00:01" },
        { { 30000, 1001 }, "00:00:59;28", 33, 0, "00:00:59;28" },
        { { 30000, 1001 }, "00:00:59;28", 34, 1, "00:00:59;29" },
        { { 30000, 1001 }, "00:00:59;28", 67, 2, "00:01:00;02" },
        { { 30000, 1001 }, "00:00:59;28", 1001, 30, "00:01:01;00" },
        { { 30000, 1001 }, "00:00:00;00", 600600, 18000, "00:10:00;18" },
        { { 50, 1 }, "", 19, 0, "00:00:00:00" },
        { { 50, 1 }, "", 20, 1, "00:00:00:01" },
        { { 60000, 1001 }, "00:00:59;58", 33, 1, "00:00:59;59" },
        { { 60000, 1001 }, "00:00:59;58", 34, 2, "00:01:00;04" },
    };
    for (const Case& c : cases) {
        const MarkerPlan plan = matchNotes({ note(1, c.offsetMs) }, { clip("A001.mov", 0, 700, c.rate, c.timecode) });
        ASSERT_EQ(plan.markerCount(), 1) << c.timecode << " +" << c.offsetMs;
        const Marker& marker = plan.clips.front().markers.front();
        EXPECT_EQ(marker.frame, c.frame) << c.rate.numerator << " +" << c.offsetMs;
        EXPECT_EQ(marker.sourceTimecode, QString::fromLatin1(c.sourceTimecode)) << c.rate.numerator << " +" << c.offsetMs;
        EXPECT_EQ(marker.recordedAt, start.addMSecs(c.offsetMs));
    }
}

TEST(NoteMatching, TheRangeHoldsTheFirstFrameAndEndsBeforeTheFrameAfterTheLast)
{
    // 2 s at 25 fps: frames 0 to 49.
    const std::vector<MarkerClip> clips { clip("A001.mov", 0, 2.0, FrameRate { 25, 1 }) };
    const MarkerPlan plan = matchNotes({ note(1, -1), note(2, 0), note(3, 1999), note(4, 2000) }, clips);
    ASSERT_EQ(plan.clips.front().markers.size(), 2u);
    EXPECT_EQ(plan.clips.front().markers[0].frame, 0);
    EXPECT_EQ(plan.clips.front().markers[1].frame, 49);
    EXPECT_EQ(ids(plan.unplaced), (std::vector<qint64> { 1, 4 }));
    EXPECT_EQ(plan.clips.front().frameCount, 50);

    // 1.015 s at 25 fps is 25 whole frames (25.4): a note 1.005 s in is within the duration but on a 26th
    // frame the clip does not have.
    const MarkerPlan beyond = matchNotes({ note(1, 999), note(2, 1005) }, { clip("B.mov", 0, 1.015, FrameRate { 25, 1 }) });
    EXPECT_EQ(beyond.clips.front().frameCount, 25);
    EXPECT_EQ(beyond.markerCount(), 1);
    EXPECT_EQ(ids(beyond.unplaced), (std::vector<qint64> { 2 }));
}

TEST(NoteMatching, ANoteGoesIntoEveryClipThatHoldsItAndNoNoteIsLost)
{
    const std::vector<MarkerClip> clips {
        clip("A001.mov", 0, 60, FrameRate { 25, 1 }), // camera A
        clip("B001.mov", 30'000, 60, FrameRate { 30000, 1001 }, "01:00:00;00"), // camera B
        clip("A002.mov", 50'000, 60, FrameRate { 25, 1 }), // camera A again, overlapping its A001
    };
    const std::vector<LogNote> notes {
        note(1, 55'000), // in all three
        note(2, 10'000), // A001 only
        note(3, std::nullopt), // no recording time
        note(4, 200'000), // after every clip
        note(5, 40'000), // A001 and B001
        note(6, 20'000), // A001, written later than 5 but recorded earlier
    };
    const MarkerPlan plan = matchNotes(notes, clips);
    ASSERT_EQ(plan.clips.size(), 3u);
    const auto markerIds = [&](size_t clipIndex) {
        std::vector<qint64> found;
        for (const Marker& m : plan.clips[clipIndex].markers)
            found.push_back(m.noteId);
        return found;
    };
    EXPECT_EQ(markerIds(0), (std::vector<qint64> { 2, 6, 5, 1 })) << "by frame";
    EXPECT_EQ(markerIds(1), (std::vector<qint64> { 5, 1 }));
    EXPECT_EQ(markerIds(2), (std::vector<qint64> { 1 }));
    EXPECT_EQ(plan.markerCount(), 7);
    EXPECT_EQ(ids(plan.unplaced), (std::vector<qint64> { 3, 4 }));
    EXPECT_EQ(plan.clips[1].markers.front().sourceTimecode, QStringLiteral("01:00:09;29")) << "10 s = frame 299";
    EXPECT_TRUE(plan.problems.isEmpty()) << plan.problems.join(u'\n').toStdString();
}

TEST(NoteMatching, ClipsThatCannotCarryMarkersAreReportedAndTheirNotesStayUnplaced)
{
    std::vector<MarkerClip> clips {
        clip("norate.mov", 0, 60, std::nullopt),
        clip("noduration.mov", 0, 0, FrameRate { 25, 1 }),
        clip("badtc.mov", 100'000, 60, FrameRate { 25, 1 }, "10:00:00;00"),
        clip("approx.mov", 100'000, 60, FrameRate { 25, 1 }, "01:00:00:00"),
    };
    clips.back().recordingStartIsApproximate = true;
    const MarkerPlan plan = matchNotes({ note(1, 5'000), note(2, 100'040) }, clips);
    EXPECT_TRUE(plan.clips[0].markers.empty());
    EXPECT_FALSE(plan.clips[0].canCarryMarkers());
    EXPECT_TRUE(plan.clips[1].markers.empty());
    EXPECT_FALSE(plan.clips[1].canCarryMarkers());
    EXPECT_EQ(ids(plan.unplaced), (std::vector<qint64> { 1 }));
    ASSERT_EQ(plan.problems.size(), 3) << plan.problems.join(u'\n').toStdString();
    EXPECT_TRUE(plan.problems[0].startsWith(u"norate.mov: its frame rate"));
    EXPECT_TRUE(plan.problems[1].startsWith(u"noduration.mov: its duration"));
    EXPECT_TRUE(plan.problems[2].startsWith(u"badtc.mov: its start timecode"));

    ASSERT_EQ(plan.clips[2].markers.size(), 1u);
    EXPECT_EQ(plan.clips[2].markers.front().sourceTimecode, QStringLiteral("00:00:00:01")) << "counted from zero";
    EXPECT_FALSE(plan.clips[2].markers.front().approximate);
    ASSERT_EQ(plan.clips[3].markers.size(), 1u);
    EXPECT_EQ(plan.clips[3].markers.front().sourceTimecode, QStringLiteral("01:00:00:01"));
    EXPECT_TRUE(plan.clips[3].markers.front().approximate);
}

TEST(NoteMatching, ComparesMomentsNotWallClocks)
{
    // The same moment written in another zone lands on the same frame.
    LogNote utc = note(1, std::nullopt);
    utc.recordedAt = QDateTime::fromString(QStringLiteral("2026-12-07T13:00:01.000Z"), Qt::ISODateWithMs);
    const MarkerPlan plan = matchNotes({ utc }, { clip("A001.mov", 0, 10, FrameRate { 25, 1 }) });
    ASSERT_EQ(plan.markerCount(), 1);
    EXPECT_EQ(plan.clips.front().markers.front().frame, 25);
}

}
