#include "account/AccountInput.h"

#include <gtest/gtest.h>

namespace {

TEST(AccountInput, TrimsBlanksAndLineEndsOfEveryKindFromBothEnds)
{
    EXPECT_EQ(cleanedUsername(QStringLiteral("  jsmith\n")), QStringLiteral("jsmith"));
    const QString allKinds = QStringLiteral(" \t\n\v\f\r\u0085\u00A0\u2028\u2029\u3000\u2003");
    EXPECT_EQ(cleanedUsername(allKinds + QStringLiteral("j smith") + allKinds), QStringLiteral("j smith"));
    EXPECT_EQ(
        cleanedPassword(allKinds + QStringLiteral("pass\t word") + allKinds), QStringLiteral("pass\t word"));
    EXPECT_EQ(cleanedPassword(allKinds), QString());
    // Invisible characters that are not white space stay.
    EXPECT_EQ(cleanedPassword(QStringLiteral("\u200Bpw\uFEFF")), QStringLiteral("\u200Bpw\uFEFF"));
}

TEST(AccountInput, AMailLinkLosesEveryMailtoOnlyWhenItOpensWithOne)
{
    EXPECT_EQ(cleanedUsername(QStringLiteral("  mailto:jsmith\n")), QStringLiteral("jsmith"));
    EXPECT_EQ(cleanedUsername(QStringLiteral("MAILTO:jsmith")), QStringLiteral("MAILTO:jsmith"));
    EXPECT_EQ(cleanedUsername(QStringLiteral("jsmith mailto:x")), QStringLiteral("jsmith mailto:x"));
    EXPECT_EQ(cleanedUsername(QStringLiteral("mailto:a mailto:b")), QStringLiteral("a b"));
    EXPECT_EQ(cleanedUsername(QStringLiteral("mailto:")), QString());
    // One pass from left to right; what is left is neither searched again nor trimmed again.
    EXPECT_EQ(cleanedUsername(QStringLiteral("mailto:mamailto:ilto:x")), QStringLiteral("mailto:x"));
    EXPECT_EQ(cleanedUsername(QStringLiteral("mailto: jsmith ")), QStringLiteral(" jsmith"));
    // The password is never a mail link.
    EXPECT_EQ(cleanedPassword(QStringLiteral("mailto:pw")), QStringLiteral("mailto:pw"));
}

}
