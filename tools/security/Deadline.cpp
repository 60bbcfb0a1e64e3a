#include "Deadline.h"

#include <csignal>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// Filled before the alarm is armed; the handler only reads it.
std::string message;
int status = 1;

void expire(int)
{
    // Only async-signal-safe calls here: the alarm may strike anywhere inside GLib.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message.data(), message.size());
    ::_exit(status);
}

}

namespace Deadline {

void start(unsigned seconds, int exitStatus)
{
    message
        = "tapescribe-security: the keyring did not answer within " + std::to_string(seconds) + " seconds\n";
    status = exitStatus;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = expire;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    ::alarm(seconds);
}

void cancel()
{
    ::alarm(0);
}

}
