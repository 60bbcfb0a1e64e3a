#include <gtest/gtest.h>

#include <cstdint>

// What the checking build links into tapeScribe and the window tests (scripts/sanitizers/) lets only
// Chromium's own deletes go without their size check: tapeScribe's keep it.
#ifdef __SANITIZE_ADDRESS__

namespace {

struct Small
{
    std::int64_t value = 0;
};

struct Large : Small
{
    std::int64_t more[10] = {};
};

// Out of the optimiser's sight, so that the new and the delete stay calls of their own.
__attribute__((noinline)) Small* makeLarge()
{
    return new Large;
}

TEST(CheckingBuild, ADeleteOfTheWrongTypeInOurCodeIsStillReported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the application's threads are running
    Small* const object = makeLarge();
    EXPECT_DEATH(delete object, "new-delete-type-mismatch");
    delete static_cast<Large*>(object);
}

}

#endif
