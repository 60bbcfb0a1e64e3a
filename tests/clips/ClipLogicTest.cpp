#include "clips/MediaCapabilities.h"
#include "clips/PlayerTimeText.h"
#include "clips/Shuttle.h"
#include "clips/TypeIdentifiers.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(TypeIdentifiers::playableTypes({}), QStringList { QStringLiteral("org.smpte.mxf") });
    const QStringList types = TypeIdentifiers::playableTypes(
        { QStringLiteral("mxf"), QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2"), QStringLiteral("avi") });
    EXPECT_EQ(types.value(0), QStringLiteral("org.smpte.mxf"));
    EXPECT_EQ(types.count(QStringLiteral("org.smpte.mxf")), 1);
    for (const char* type : { "com.apple.quicktime-movie", "public.mpeg-4", "public.avi" })
        EXPECT_TRUE(types.contains(QLatin1String(type))) << type;
    EXPECT_FALSE(types.contains(QStringLiteral("org.matroska.mkv")));
    EXPECT_LT(types.indexOf(QStringLiteral("com.apple.quicktime-movie")),
        types.indexOf(QStringLiteral("public.avi")));
}

TEST(TypeIdentifiers, DialogPatternsMatchEveryLetterCase)
{
    const QStringList patterns = TypeIdentifiers::nameFilterPatterns({ QStringLiteral("org.smpte.mxf") });
    EXPECT_EQ(patterns, QStringList { QStringLiteral("*.[mM][xX][fF]") });
    EXPECT_TRUE(TypeIdentifiers::nameFilterPatterns({ QStringLiteral("public.3gpp") })
                    .contains(QStringLiteral("*.3[gG][pP]")));
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
    EXPECT_EQ(PlayerTimeText::timecode(0.04, 25), QStringLiteral("00:00:00:01"));
    EXPECT_EQ(PlayerTimeText::timecode(0.12 - 1e-12, 25), QStringLiteral("00:00:00:03"));
    EXPECT_EQ(PlayerTimeText::timecode(3599.96, 25), QStringLiteral("00:59:59:24"));
    EXPECT_EQ(PlayerTimeText::timecode(3600, 25), QStringLiteral("01:00:00:00"));
    EXPECT_EQ(PlayerTimeText::timecode(-1, 25), QStringLiteral("00:00:00:00"));
    // A clip whose rate is not known yet counts at 25 frames a second.
    EXPECT_EQ(PlayerTimeText::timecode(1.5, 0), QStringLiteral("00:00:01:12"));
    EXPECT_EQ(PlayerTimeText::remaining(1, 3, 25), QStringLiteral("-00:00:02:00"));
    EXPECT_EQ(PlayerTimeText::remaining(4, 3, 25), QStringLiteral("-00:00:00:00"));
}

TEST(ProfessionalFormats, NamesWhatIsMissingOnce)
{
    const MediaCapabilities complete { { QStringLiteral("mxf") },
        { QStringLiteral("prores"), QStringLiteral("dnxhd"), QStringLiteral("mpeg2video") } };
    EXPECT_FALSE(professionalFormatsWarning(complete));

    const MediaCapabilities partial { { QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2") },
        { QStringLiteral("dnxhd") } };
    EXPECT_EQ(partial.missingProfessionalFormats(),
        (QStringList { QStringLiteral("the MXF demuxer"), QStringLiteral("the ProRes decoder"),
            QStringLiteral("the MPEG-2 decoder") }));
    const auto warning = professionalFormatsWarning(partial);
    ASSERT_TRUE(warning);
    EXPECT_TRUE(warning->contains(
        QStringLiteral("the MXF demuxer, the ProRes decoder and the MPEG-2 decoder are missing")))
        << warning->toStdString();

    const MediaCapabilities oneMissing { { QStringLiteral("mxf") },
        { QStringLiteral("prores"), QStringLiteral("dnxhd") } };
    EXPECT_TRUE(
        professionalFormatsWarning(oneMissing)->contains(QStringLiteral("the MPEG-2 decoder is missing")));
    EXPECT_TRUE(professionalFormatsWarning(std::nullopt));
}

}
