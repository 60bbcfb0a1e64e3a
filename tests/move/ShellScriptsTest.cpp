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

TEST(ShellQuoting, RelaunchScriptKeepsItsFormCharacterForCharacter)
{
    EXPECT_EQ(relaunchScript(731, "/Applications/App.app"),
        "(while /bin/kill -0 731 >&/dev/null; do /bin/sleep 0.1; done; "
        "'/Applications/App.app/libexec/tapescribe-xattr' -d -r com.apple.quarantine "
        "'/Applications/App.app'; "
        "'/Applications/App.app/bin/tapescribe') &");
    EXPECT_EQ(relaunchScript(42, "/home/u/Applications/it's.app"),
        "(while /bin/kill -0 42 >&/dev/null; do /bin/sleep 0.1; done; "
        "'/home/u/Applications/it'\\''s.app/libexec/tapescribe-xattr' -d -r com.apple.quarantine "
        "'/home/u/Applications/it'\\''s.app'; '/home/u/Applications/it'\\''s.app/bin/tapescribe') &");
}
