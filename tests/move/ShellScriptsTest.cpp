#include "TextPrinting.h"

#include "move/ShellScripts.h"

#include <gtest/gtest.h>

// Whether these words survive a real shell, hostile paths included, is shown where the move runs them.
TEST(ShellQuoting, QuotesEveryTextAsOneWord)
{
    EXPECT_EQ(shellQuoted(""), "''");
    EXPECT_EQ(shellQuoted("/Applications/App.app"), "'/Applications/App.app'");
    EXPECT_EQ(shellQuoted("it's"), "'it'\\''s'");
    EXPECT_EQ(shellQuoted("''"), "''\\'''\\'''");
    EXPECT_EQ(administratorCommandLine("/bin/rm", { "-rf", "/Applications/My App.app" }),
        "'/bin/rm' '-rf' '/Applications/My App.app'");
}
