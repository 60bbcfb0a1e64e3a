#include "core/CommandRunner.h"
#include "core/AsciiText.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// After the kill at the deadline, how long the tool may take to go before it is left to a reaper thread:
// a process in an uninterruptible wait (a hung network mount) dies only once that wait ends.
constexpr std::chrono::milliseconds killGrace { 1000 };

CommandWaitObserver waitObserver;

// Tells the observer, if any, that the run still waits, once it has waited long enough to be noticed.
class WaitNotice
{
public:
    explicit WaitNotice(Clock::time_point started)
        : noticedAt(started + commandWaitNoticed)
    {
    }
    ~WaitNotice()
    {
        if (told)
            waitObserver(CommandWait::Ended);
    }
    WaitNotice(const WaitNotice&) = delete;
    WaitNotice& operator=(const WaitNotice&) = delete;

    // How long the next poll may block: up to the notice, then a slice at a time.
    std::chrono::milliseconds pollLimit(Clock::time_point now, std::chrono::milliseconds remaining) const
    {
        if (!waitObserver)
            return remaining;
        const auto untilNotice = std::chrono::ceil<std::chrono::milliseconds>(noticedAt - now);
        return std::min(
            remaining, untilNotice > std::chrono::milliseconds::zero() ? untilNotice : commandWaitSlice);
    }
    void tell(Clock::time_point now)
    {
        if (!waitObserver || now < noticedAt)
            return;
        if (!told)
            waitObserver(CommandWait::Began);
        told = true;
        waitObserver(CommandWait::Continues);
    }

private:
    Clock::time_point noticedAt;
    bool told = false;
};

// Owns one file descriptor and closes it when it goes.
class Descriptor
{
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
    bool isOpen() const { return fd >= 0; }
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

struct Channel
{
    Descriptor parentEnd;
    Descriptor childEnd;
};

// What is kept of one output stream.
struct Capture
{
    QByteArray bytes;
    bool truncated = false;

    void append(const char* data, qsizetype size)
    {
        const qsizetype kept = std::min(size, commandOutputLimit - bytes.size());
        bytes.append(data, kept);
        truncated = truncated || kept < size;
    }
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

// Debian 12's glibc declares pidfd_open without C linkage in C++, so the system call is made directly.
int openProcessDescriptor(pid_t pid)
{
    return int(::syscall(SYS_pidfd_open, pid, 0));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

CommandResult failedStart(const QString& launchPath, int error)
{
    return { QString(), QStringLiteral("runCommand: cannot start %1: %2").arg(launchPath, systemError(error)),
        std::nullopt };
}

// Waits for the tool's end for at most `limit`; true once it has ended (it is then a zombie, not yet reaped).
bool waitForEnd(int processFd, std::chrono::milliseconds limit)
{
    pollfd watched { processFd, POLLIN, 0 };
    int ready;
    while ((ready = ::poll(&watched, 1, int(limit.count()))) < 0 && errno == EINTR) { }
    return ready > 0;
}

int reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return status;
}

// Kills the tool's process group, which holds the tool and whatever it started that did not leave it, and
// reaps the tool: at once when it goes within the grace time, otherwise on a thread of its own, so that the
// caller never waits on a process the kernel cannot end yet.
void killAndReap(pid_t pid, int processFd)
{
    ::kill(-pid, SIGKILL);
    if (processFd >= 0 && waitForEnd(processFd, killGrace))
        reap(pid);
    else
        std::thread([pid] { reap(pid); }).detach();
}

enum class Ending { Exited, TimedOut, WaitFailed };

// Reads both output streams as they come and feeds the input, so that a tool that fills one pipe while
// the other is being waited on can never stall either side. Ends when the tool has ended and what it wrote
// has been read, or at the deadline, whichever comes first. Output that a child of the tool still writes
// after the tool's end is taken only as far as it is there at once.
Ending exchange(int processFd, Clock::time_point deadline, Channel& output, Channel& error, Channel* input,
    const QByteArray& inputBytes, Capture& outputCapture, Capture& errorCapture, int& waitError,
    WaitNotice& notice)
{
    qsizetype written = 0;
    if (input && inputBytes.isEmpty())
        input->parentEnd.reset();
    bool ended = false;
    std::array<char, 65536> buffer;
    for (;;) {
        const auto now = Clock::now();
        if (now >= deadline)
            return ended ? Ending::Exited : Ending::TimedOut;
        if (ended && !output.parentEnd.isOpen() && !error.parentEnd.isOpen())
            return Ending::Exited;

        std::array<pollfd, 4> fds {};
        nfds_t count = 0;
        auto watch = [&](int fd, short events) {
            if (fd < 0)
                return -1;
            fds[count] = { fd, events, 0 };
            return int(count++);
        };
        const int outputSlot = watch(output.parentEnd.get(), POLLIN);
        const int errorSlot = watch(error.parentEnd.get(), POLLIN);
        const int inputSlot = input ? watch(input->parentEnd.get(), POLLOUT) : -1;
        const int endSlot = watch(ended ? -1 : processFd, POLLIN);

        // Rounded up, so that a run is never given up a fraction of a millisecond before its deadline.
        const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        const int ready
            = ::poll(fds.data(), count, ended ? 0 : int(notice.pollLimit(now, remaining).count()));
        if (!ended)
            notice.tell(Clock::now());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            waitError = errno;
            return Ending::WaitFailed;
        }
        if (ready == 0 && ended)
            return Ending::Exited;

        auto drain = [&](int slot, Channel& channel, Capture& capture) {
            if (slot < 0 || fds[slot].revents == 0)
                return;
            const ssize_t n = ::read(channel.parentEnd.get(), buffer.data(), buffer.size());
            if (n > 0)
                capture.append(buffer.data(), n);
            else if (n == 0 || (errno != EINTR && errno != EAGAIN))
                channel.parentEnd.reset();
        };
        drain(outputSlot, output, outputCapture);
        drain(errorSlot, error, errorCapture);
        if (inputSlot >= 0 && fds[inputSlot].revents != 0) {
            const ssize_t n = ::send(input->parentEnd.get(), inputBytes.constData() + written,
                size_t(inputBytes.size() - written), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0)
                written += n;
            if ((n < 0 && errno != EINTR && errno != EAGAIN) || written == inputBytes.size())
                input->parentEnd.reset(); // end of file for the tool
        }
        if (endSlot >= 0 && fds[endSlot].revents != 0) {
            ended = true;
            if (input)
                input->parentEnd.reset();
        }
    }
}

QString seconds(std::chrono::milliseconds duration)
{
    return QString::number(double(duration.count()) / 1000.0);
}

// The tool's own error text, then the runner's notes, one a line.
QString errorText(const QByteArray& toolError, const QStringList& notes)
{
    QString text = asciiText(toolError);
    for (const QString& note : notes) {
        if (!text.isEmpty() && !text.endsWith(u'\n'))
            text += u'\n';
        text += note;
    }
    return text;
}

}

void setCommandWaitObserver(CommandWaitObserver observer)
{
    waitObserver = std::move(observer);
}

CommandResult runCommand(const QString& launchPath, const QStringList& arguments,
    std::chrono::milliseconds deadline, const std::optional<QByteArray>& standardInput)
{
    const auto started = Clock::now();
    const auto deadlineTime = started + deadline;
    WaitNotice notice(started);
    Channel output, error, input;
    if (!openOutputChannel(output) || !openOutputChannel(error)
        || (standardInput && !openInputChannel(input)))
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
    // Descriptors that a library opened without close-on-exec would otherwise reach the tool, and through
    // it whatever the tool starts.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // A process group of its own, so that a kill at the deadline takes what the tool started along with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const int spawnError = ::posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0)
        return failedStart(launchPath, spawnError);

    // Only the tool holds the write ends now, so end of file comes when it closes them.
    output.childEnd.reset();
    error.childEnd.reset();
    input.childEnd.reset();

    // The tool's end is watched through a descriptor of its own, beside its streams: the streams alone
    // cannot tell, since a background child may hold them open long after.
    const Descriptor processFd(openProcessDescriptor(pid));
    if (!processFd.isOpen()) {
        const int watchError = errno;
        killAndReap(pid, -1);
        return { QString(),
            QStringLiteral("runCommand: cannot watch %1: %2").arg(launchPath, systemError(watchError)),
            std::nullopt };
    }

    Capture outputCapture, errorCapture;
    int waitError = 0;
    const Ending ending
        = exchange(processFd.get(), deadlineTime, output, error, standardInput ? &input : nullptr,
            standardInput.value_or(QByteArray()), outputCapture, errorCapture, waitError, notice);

    CommandResult result;
    QStringList notes;
    if (ending == Ending::Exited) {
        const int status = reap(pid);
        if (WIFEXITED(status))
            result.exitStatus = WEXITSTATUS(status);
    } else {
        killAndReap(pid, processFd.get());
        result.timedOut = ending == Ending::TimedOut;
        notes.append(result.timedOut
                ? QStringLiteral("runCommand: %1 did not finish within %2 s and was stopped")
                      .arg(launchPath, seconds(deadline))
                : QStringLiteral("runCommand: cannot wait for %1: %2")
                      .arg(launchPath, systemError(waitError)));
    }
    const QString limit = QString::number(commandOutputLimit / (1024 * 1024));
    if (outputCapture.truncated)
        notes.append(QStringLiteral(
            "runCommand: %1 wrote more than %2 MiB to its standard output; only the first %2 MiB were kept")
                         .arg(launchPath, limit));
    if (errorCapture.truncated)
        notes.append(QStringLiteral(
            "runCommand: %1 wrote more than %2 MiB to its standard error; only the first %2 MiB were kept")
                         .arg(launchPath, limit));
    result.output = asciiText(outputCapture.bytes);
    result.error = errorText(errorCapture.bytes, notes);
    return result;
}
