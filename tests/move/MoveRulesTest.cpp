#include "move/MoveRules.h"

#include <gtest/gtest.h>

TEST(MoveRules, ApplicationsFolderIsAPlainPrefixOrAnExactComponent)
{
    const QStringList folders { "/home/u/Applications", "/Applications" };
    const QString component = "Applications";
    EXPECT_TRUE(liesInsideFolders("/home/u/Applications/App.app", folders, component));
    EXPECT_TRUE(liesInsideFolders("/ApplicationsOld/App.app", folders, component));
    EXPECT_TRUE(liesInsideFolders("/Volumes/Disk/Applications/Tools/App.app", folders, component));
    EXPECT_FALSE(liesInsideFolders("/Volumes/Disk/applications/App.app", folders, component));
    EXPECT_FALSE(liesInsideFolders("/Volumes/Disk/MyApplications/App.app", folders, component));
    EXPECT_FALSE(liesInsideFolders("/home/u/Downloads/App.app", folders, component));
}

TEST(MoveRules, DownloadsFolderHasNoComponentRule)
{
    const QStringList folders { "/home/u/Downloads" };
    EXPECT_TRUE(liesInsideFolders("/home/u/Downloads/App.app", folders, std::nullopt));
    EXPECT_TRUE(liesInsideFolders("/home/u/Downloads2/App.app", folders, std::nullopt));
    EXPECT_FALSE(liesInsideFolders("/Volumes/Disk/Downloads/App.app", folders, std::nullopt));
    // A standard folder the system could not name is no prefix of everything.
    EXPECT_FALSE(liesInsideFolders("/srv/App.app", { "" }, std::nullopt));
}

TEST(MoveRules, OnlyANameEndingInLowerCaseAppIsABundle)
{
    EXPECT_FALSE(holdsApplicationBundle({}));
    EXPECT_FALSE(holdsApplicationBundle({ "Utilities" }));
    EXPECT_FALSE(holdsApplicationBundle({ "Tool.APP", ".app.d", "app" }));
    EXPECT_TRUE(holdsApplicationBundle({ "Utilities", "Other.app" }));
    EXPECT_TRUE(holdsApplicationBundle({ ".app" }));
}

TEST(MoveRules, TrimmingRemovesBlanksOfEveryKindButKeepsLineBreaks)
{
    EXPECT_EQ(trimmedOfBlanks(QString::fromUtf8(" \t\u00a0\u2003a b\u3000\t")), "a b");
    EXPECT_EQ(trimmedOfBlanks(" \t "), "");
    EXPECT_EQ(trimmedOfBlanks("\n"), "\n");
    EXPECT_EQ(trimmedOfBlanks(" \nx\n "), "\nx\n");
}
