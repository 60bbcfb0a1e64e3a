#include "clips/MediaCapabilities.h"
#include "clips/PlayerTimeText.h"
#include "clips/Shuttle.h"
#include "clips/TypeIdentifiers.h"
#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

using TypeIdentifiers::EntryKind;

TEST(TypeIdentifiers, ComeFromTheExtensionInAnyCaseForRegularFilesAlone)
{
    const struct
    {
        const char16_t* name;
        EntryKind kind;
        const char* type;
    } cases[] = {
        { u"A001C001.MXF", EntryKind::RegularFile, "org.smpte.mxf" },
        { u"clip.Mov", EntryKind::RegularFile, "com.apple.quicktime-movie" },
        { u"archive.tar.mp4", EntryKind::RegularFile, "public.mpeg-4" },
        // Names without a usable extension are plain data.
        { u"README", EntryKind::RegularFile, "public.data" },
        { u".mov", EntryKind::RegularFile, "public.data" },
        { u"clip.", EntryKind::RegularFile, "public.data" },
        { u"clip.mov.bak", EntryKind::RegularFile, "public.data" },
        { u"CLIPS.MOV", EntryKind::Folder, "public.folder" },
        { u"pipe.mov", EntryKind::Other, "public.item" },
    };
    for (const auto& [name, kind, type] : cases)
        EXPECT_EQ(TypeIdentifiers::typeIdentifier(name, kind), QLatin1String(type))
            << QString::fromUtf16(name).toStdString();
}

TEST(TypeIdentifiers, PlayableListPutsMxfFirstAndFollowsTheDemuxers)
{
    EXPECT_EQ(TypeIdentifiers::playableTypes({}), QStringList { u"org.smpte.mxf"_s });
    const QStringList types
        = TypeIdentifiers::playableTypes({ u"mxf"_s, u"mov,mp4,m4a,3gp,3g2,mj2"_s, u"avi"_s });
    EXPECT_EQ(types.value(0), u"org.smpte.mxf"_s);
    EXPECT_EQ(types.count(u"org.smpte.mxf"_s), 1);
    for (const char* type : { "com.apple.quicktime-movie", "public.mpeg-4", "public.avi" })
        EXPECT_TRUE(types.contains(QLatin1String(type))) << type;
    EXPECT_FALSE(types.contains(u"org.matroska.mkv"_s));
    EXPECT_LT(types.indexOf(u"com.apple.quicktime-movie"_s), types.indexOf(u"public.avi"_s));
}

TEST(TypeIdentifiers, NameTheOneDemuxerThatMayReadAFileOfTheirType)
{
    const struct
    {
        const char16_t* path;
        const char* demuxer; // nullptr: none may read it
    } cases[] = {
        { u"/card/A001C001.MOV", "mov" },
        { u"clip.mp4", "mov" },
        { u"clip.M4V", "mov" },
        { u"clip.3gp", "mov" },
        { u"A001C001.MXF", "mxf" },
        { u"clip.avi", "avi" },
        { u"clip.mkv", "matroska" },
        { u"clip.webm", "matroska" },
        { u"00001.MTS", "mpegts" },
        { u"00001.m2ts", "mpegts" },
        { u"clip.ts", "mpegts" },
        { u"clip.mpg", "mpeg" },
        { u"clip.m2v", "mpegvideo" },
        { u"clip.dv", "dv" },
        { u"sound.wav", "wav" },
        // The folder's name is no clip's type.
        { u"/card/CLIP.MOV/A001", nullptr },
        { u"/card/.mov", nullptr },
        { u"clip.srt", nullptr },
        { u"clip.m3u8", nullptr },
        { u"clip.sdp", nullptr },
    };
    for (const auto& [path, demuxer] : cases) {
        SCOPED_TRACE(QString::fromUtf16(path).toStdString());
        const std::optional<QByteArray> name = TypeIdentifiers::demuxerName(path);
        EXPECT_EQ(name.has_value(), demuxer != nullptr);
        if (name && demuxer) {
            EXPECT_EQ(*name, QByteArray(demuxer));
        }
    }
}

TEST(TypeIdentifiers, DialogPatternsMatchEveryLetterCase)
{
    const QStringList patterns = TypeIdentifiers::nameFilterPatterns({ u"org.smpte.mxf"_s });
    EXPECT_EQ(patterns, QStringList { u"*.[mM][xX][fF]"_s });
    EXPECT_TRUE(TypeIdentifiers::nameFilterPatterns({ u"public.3gpp"_s }).contains(u"*.3[gG][pP]"_s));
}

TEST(Shuttle, EachPressDoublesUpToEightTimesInItsDirectionAndSpaceStops)
{
    double rate = 0;
    for (double expected : { 1.0, 2.0, 4.0, 8.0, 8.0 })
        EXPECT_EQ(rate = Shuttle::forward(rate), expected);
    // Turning round starts again at normal speed.
    for (double expected : { -1.0, -2.0, -4.0, -8.0, -8.0 })
        EXPECT_EQ(rate = Shuttle::backward(rate), expected);
    EXPECT_EQ(Shuttle::forward(-8.0), 1.0);
    for (double moving : { 1.0, 8.0, -4.0 })
        EXPECT_EQ(Shuttle::toggled(moving), 0.0) << moving;
    EXPECT_EQ(Shuttle::toggled(0), 1.0);
}

TEST(PlayerTimeText, TimecodeCountsWholeFrames)
{
    EXPECT_EQ(PlayerTimeText::timecode(0.04, 25), u"00:00:00:01"_s);
    EXPECT_EQ(PlayerTimeText::timecode(0.12 - 1e-12, 25), u"00:00:00:03"_s);
    EXPECT_EQ(PlayerTimeText::timecode(3599.96, 25), u"00:59:59:24"_s);
    EXPECT_EQ(PlayerTimeText::timecode(3600, 25), u"01:00:00:00"_s);
    EXPECT_EQ(PlayerTimeText::timecode(-1, 25), u"00:00:00:00"_s);
    // A clip whose rate is not known yet counts at 25 frames a second.
    EXPECT_EQ(PlayerTimeText::timecode(1.5, 0), u"00:00:01:12"_s);
    EXPECT_EQ(PlayerTimeText::remaining(1, 3, 25), u"-00:00:02:00"_s);
    EXPECT_EQ(PlayerTimeText::remaining(4, 3, 25), u"-00:00:00:00"_s);
}

TEST(PlayerTimeText, TimeOfDayIsTheLocalClocksAtThePictureRecorded)
{
    const auto utc = [](int month, int day, int hour, int minute, int second) {
        return QDateTime(QDate(2024, month, day), QTime(hour, minute, second), QTimeZone::utc());
    };
    const struct
    {
        const char* zone;
        QDateTime start;
        double position;
        const char16_t* shown;
    } cases[] = {
        { "Asia/Kolkata", utc(3, 1, 14, 5, 9), 61, u"19:36:10" },
        { "America/St_Johns", utc(3, 1, 14, 5, 9), 61, u"10:36:10" },
        // A clip recorded across the night the clocks go forward: a second apart, an hour apart on the
        // clock. A part of a second counts as the second it falls in.
        { "Europe/Berlin", utc(3, 31, 0, 59, 30), 29.999, u"01:59:59" },
        { "Europe/Berlin", utc(3, 31, 0, 59, 30), 30, u"03:00:00" },
        { "Europe/Berlin", utc(10, 27, 0, 59, 30), 30, u"02:00:00" },
    };
    for (const auto& [zone, start, position, shown] : cases) {
        const LocalTimeZone local(zone);
        EXPECT_EQ(PlayerTimeText::recordingTimeOfDay(start, position), QString::fromUtf16(shown))
            << zone << " at " << position;
    }
    EXPECT_EQ(PlayerTimeText::recordingTimeOfDay(QDateTime(), 1), QString());
}

TEST(ProfessionalFormats, NamesWhatIsMissingOnce)
{
    const MediaCapabilities complete { { u"mxf"_s }, { u"prores"_s, u"dnxhd"_s, u"mpeg2video"_s } };
    EXPECT_FALSE(professionalFormatsWarning(complete));

    const MediaCapabilities partial { { u"mov,mp4,m4a,3gp,3g2,mj2"_s }, { u"dnxhd"_s } };
    EXPECT_EQ(partial.missingProfessionalFormats(),
        (QStringList { u"the MXF demuxer"_s, u"the ProRes decoder"_s, u"the MPEG-2 decoder"_s }));
    const auto warning = professionalFormatsWarning(partial);
    ASSERT_TRUE(warning);
    EXPECT_TRUE(
        warning->contains(u"the MXF demuxer, the ProRes decoder and the MPEG-2 decoder are missing"_s))
        << warning->toStdString();

    const MediaCapabilities oneMissing { { u"mxf"_s }, { u"prores"_s, u"dnxhd"_s } };
    EXPECT_TRUE(professionalFormatsWarning(oneMissing)->contains(u"the MPEG-2 decoder is missing"_s));
    EXPECT_TRUE(professionalFormatsWarning(std::nullopt));
}

}
