#include "app/AppDelegate.h"
#include "core/Platform.h"
#include "support/Statistics.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The keyring tool as the application runs it: a save and a lookup against the session's keyring, and how
// long the application waits when there is no keyring at all, or one that never answers.
namespace {

const QString benchService = QStringLiteral("tapeScribe benchmark");

CommandResult find()
{
    return AppDelegate::runCommand(Platform::securityTool(),
        { QStringLiteral("find-generic-password"), QStringLiteral("-g"), QStringLiteral("-s"),
            benchService },
        Platform::securityToolDeadline);
}

void save()
{
    AppDelegate::runCommand(Platform::securityTool(),
        { QStringLiteral("delete-generic-password"), QStringLiteral("-s"), benchService },
        Platform::securityToolDeadline);
    AppDelegate::runCommand(Platform::securityTool(),
        { QStringLiteral("add-generic-password"), QStringLiteral("-a"), QStringLiteral("bench"),
            QStringLiteral("-s"), benchService, QStringLiteral("-w") },
        Platform::securityToolDeadline, QByteArrayLiteral("bench-password"));
}

// One lookup with the session bus address pointed at `address`.
double findAt(const QByteArray& address)
{
    const QByteArray session = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    const auto start = Bench::Clock::now();
    find();
    const double elapsed = Bench::millisecondsSince(start);
    qputenv("DBUS_SESSION_BUS_ADDRESS", session);
    return elapsed;
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    constexpr int runs = 30;

    save();
    if (!find().error.startsWith(QLatin1String("password: "))) {
        std::printf("keyring: no unlocked keyring in this session; lookups and saves not measured\n");
    } else {
        const double saving = Bench::median(Bench::timeRuns(runs, save));
        const double finding = Bench::median(Bench::timeRuns(runs, find));
        std::printf("keyring save (delete + add): median %.1f ms over %d runs\n", saving, runs);
        std::printf("keyring lookup: median %.1f ms over %d runs\n", finding, runs);
    }
    AppDelegate::runCommand(Platform::securityTool(),
        { QStringLiteral("delete-generic-password"), QStringLiteral("-s"), benchService },
        Platform::securityToolDeadline);

    QTemporaryDir folder;
    const QByteArray silentPath = QFile::encodeName(folder.filePath(QStringLiteral("silent")));
    const int silent = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::copy(silentPath.begin(), silentPath.end(), address.sun_path);
    ::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(silent, 4);

    std::printf("answer without a session bus: %.1f ms (goal < 5000)\n",
        findAt("unix:path=" + QFile::encodeName(folder.filePath(QStringLiteral("nothing")))));
    std::printf(
        "answer from a bus that never answers: %.1f ms (goal < 5000)\n", findAt("unix:path=" + silentPath));
    ::close(silent);
    return 0;
}
