#include "core/CommandRunner.h"
#include "support/Statistics.h"

#include <cstdio>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

// runCommand of /bin/true against the least any runner must do: posix_spawn and waitpid.
int main()
{
    constexpr int runs = 200;
    const char* tool = "/bin/true";

    auto bareSpawn = [tool] {
        char* argv[] = { const_cast<char*>(tool), nullptr };
        pid_t pid = -1;
        if (posix_spawn(&pid, tool, nullptr, nullptr, argv, environ) == 0)
            waitpid(pid, nullptr, 0);
    };
    auto runner = [tool] { runCommand(QString::fromLatin1(tool), {}, std::chrono::seconds(10)); };

    // Warm both paths first so that neither pays for the first page faults of the other.
    Bench::timeRuns(20, bareSpawn);
    Bench::timeRuns(20, runner);
    const double bare = Bench::median(Bench::timeRuns(runs, bareSpawn));
    const double ours = Bench::median(Bench::timeRuns(runs, runner));

    std::printf("runCommand(/bin/true): median %.3f ms over %d runs\n", ours, runs);
    std::printf("posix_spawn+waitpid(/bin/true): median %.3f ms over %d runs\n", bare, runs);
    std::printf("ratio runCommand / bare spawn: %.2f (goal <= 1.2)\n", ours / bare);
    return 0;
}
