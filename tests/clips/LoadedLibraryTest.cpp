#include "clips/FFmpegLibrary.h"
#include "clips/MpvLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(MpvLibrary, FindsEveryFunctionInTheInstalledLibmpv)
{
    QString error;
    const auto mpv = MpvLibrary::load(QStringLiteral("mpv"), MPV_CLIENT_API_VERSION >> 16, &error);
    ASSERT_TRUE(mpv) << error.toStdString();
    mpv_handle* handle = mpv->create();
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(mpv->errorString(MPV_ERROR_NOMEM), "memory allocation failed");
    mpv->terminateDestroy(handle);
}

TEST(FFmpegLibrary, FindsEveryFunctionInTheInstalledFFmpeg)
{
    QString error;
    const auto av = FFmpegLibrary::load(&error);
    ASSERT_TRUE(av) << error.toStdString();
    EXPECT_STREQ(av->codecGetName(AV_CODEC_ID_PRORES), "prores");
}

TEST(MpvLibrary, SaysWhatIsMissingInsteadOfLoadingHalfALibrary)
{
    QString error;
    EXPECT_FALSE(MpvLibrary::load(QStringLiteral("tapescribe-no-such-library"), 1, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("tapescribe-no-such-library"))) << error.toStdString();

    // A library that is there, but is not libmpv: every function the player needs is named.
    EXPECT_FALSE(MpvLibrary::load(QStringLiteral("z"), 1, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("mpv_create"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("mpv_render_context_free"))) << error.toStdString();
}

}
