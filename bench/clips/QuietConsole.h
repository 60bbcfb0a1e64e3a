#pragma once

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

// Sends the application's console lines to /dev/null while it lives, so that they cost what writing
// them costs but do not bury the figures.
class QuietConsole
{
public:
    QuietConsole()
        : saved(::dup(STDOUT_FILENO))
    {
        std::fflush(stdout);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::close(null);
    }
    ~QuietConsole()
    {
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    int saved;
};
