#include "core/CommandRunner.h"
#include "core/AsciiText.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Owns one file descriptor and closes it when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd)
        : fd(fd)
    {
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    int get() const { return fd; }
    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void adopt(int newFd)
    {
        reset();
        fd = newFd;
    }

private:
    int fd = -1;
};

struct Channel {
    Descriptor parentEnd;
    Descriptor childEnd;
};

// A pipe for one of the tool's output streams; both ends close on exec, the child's copy on 1 or 2 is
// made by the spawn's dup2, which clears that flag.
bool openOutputChannel(Channel& channel)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    channel.parentEnd.adopt(fds[0]);
    channel.childEnd.adopt(fds[1]);
    return true;
}

// The tool's standard input is a socket rather than a pipe: writing to it with MSG_NOSIGNAL cannot raise
// SIGPIPE in the application when the tool exits without reading everything.
bool openInputChannel(Channel& channel)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return false;
    channel.parentEnd.adopt(fds[0]);
    channel.childEnd.adopt(fds[1]);
    ::shutdown(fds[0], SHUT_RD);
    return true;
}

CommandResult failedStart(const QString& launchPath, int error)
{
    return { QString(), QStringLiteral("runCommand: cannot start %1: %2").arg(launchPath, QString::fromLocal8Bit(std::strerror(error))) };
}

// Reads both output streams as they come and feeds the input, so that a tool that fills one pipe while
// the other is being waited on can never stall either side.
void exchange(Channel& output, Channel& error, Channel* input, const QByteArray& inputBytes, QByteArray& outputBytes,
              QByteArray& errorBytes)
{
    qsizetype written = 0;
    if (input && inputBytes.isEmpty())
        input->parentEnd.reset();
    std::array<char, 65536> buffer;
    for (;;) {
        std::array<pollfd, 3> fds {};
        nfds_t count = 0;
        int outputSlot = -1, errorSlot = -1, inputSlot = -1;
        if (output.parentEnd.get() >= 0) {
            outputSlot = int(count);
            fds[count++] = { output.parentEnd.get(), POLLIN, 0 };
        }
        if (error.parentEnd.get() >= 0) {
            errorSlot = int(count);
            fds[count++] = { error.parentEnd.get(), POLLIN, 0 };
        }
        if (input && input->parentEnd.get() >= 0) {
            inputSlot = int(count);
            fds[count++] = { input->parentEnd.get(), POLLOUT, 0 };
        }
        if (outputSlot < 0 && errorSlot < 0)
            return;
        if (::poll(fds.data(), count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        auto drain = [&](int slot, Channel& channel, QByteArray& bytes) {
            if (slot < 0 || fds[slot].revents == 0)
                return;
            const ssize_t n = ::read(channel.parentEnd.get(), buffer.data(), buffer.size());
            if (n > 0)
                bytes.append(buffer.data(), n);
            else if (n == 0 || (errno != EINTR && errno != EAGAIN))
                channel.parentEnd.reset();
        };
        drain(outputSlot, output, outputBytes);
        drain(errorSlot, error, errorBytes);
        if (inputSlot >= 0 && fds[inputSlot].revents != 0) {
            const ssize_t n = ::send(input->parentEnd.get(), inputBytes.constData() + written,
                                     size_t(inputBytes.size() - written), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0)
                written += n;
            if ((n < 0 && errno != EINTR && errno != EAGAIN) || written == inputBytes.size())
                input->parentEnd.reset(); // end of file for the tool
        }
    }
}

}

CommandResult runCommand(const QString& launchPath, const QStringList& arguments,
                                      const std::optional<QByteArray>& standardInput)
{
    Channel output, error, input;
    if (!openOutputChannel(output) || !openOutputChannel(error) || (standardInput && !openInputChannel(input)))
        return failedStart(launchPath, errno);

    const QByteArray path = launchPath.toLocal8Bit();
    std::vector<QByteArray> argumentBytes;
    argumentBytes.reserve(size_t(arguments.size()) + 1);
    argumentBytes.push_back(path);
    for (const QString& argument : arguments)
        argumentBytes.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& bytes : argumentBytes)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (standardInput)
        posix_spawn_file_actions_adddup2(&actions, input.childEnd.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.childEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error.childEnd.get(), STDERR_FILENO);
    pid_t pid = -1;
    const int spawnError = ::posix_spawn(&pid, path.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        return failedStart(launchPath, spawnError);

    // Only the tool holds the write ends now, so end of file comes when it closes them.
    output.childEnd.reset();
    error.childEnd.reset();
    input.childEnd.reset();

    QByteArray outputBytes, errorBytes;
    exchange(output, error, standardInput ? &input : nullptr, standardInput.value_or(QByteArray()), outputBytes,
             errorBytes);

    // Reap the tool so that no zombie is left behind; its status is not part of the result.
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
    return { asciiText(outputBytes), asciiText(errorBytes) };
}
