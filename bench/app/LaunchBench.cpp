#include "support/LogServiceProcess.h"
#include "support/Statistics.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

// Launches the real tapescribe against the local log service and measures, from the moment the process is
// started, when its main window is mapped on the display and when the log form's first page has been
// served (a signed-out visitor's form request ends on the sign-in page).
namespace {

bool mainWindowShown()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^tapeScribe$") });
    return search.waitForFinished(5000) && search.exitCode() == 0;
}

struct Launch
{
    double windowShownMs = -1;
    double formLoadedMs = -1;
};

Launch launchOnce(LogServiceProcess& service, const QString& home)
{
    const int servedBefore
        = int(service.requestLines().filter(QStringLiteral("request GET /users/login")).size());
    QProcess application;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
        QString::fromLatin1(service.chromiumFlags(QStringLiteral("logs.tapescribe.test"))));
    application.setProcessEnvironment(environment);
    application.setStandardOutputFile(home + QStringLiteral("/launch.log"));
    application.setStandardErrorFile(home + QStringLiteral("/launch.log"), QIODevice::Append);

    Launch launch;
    const auto start = Bench::Clock::now();
    application.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe")), {});
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired() && (launch.windowShownMs < 0 || launch.formLoadedMs < 0)) {
        if (launch.windowShownMs < 0 && mainWindowShown())
            launch.windowShownMs = Bench::millisecondsSince(start);
        if (launch.formLoadedMs < 0
            && service.requestLines().filter(QStringLiteral("request GET /users/login")).size()
                > servedBefore)
            launch.formLoadedMs = Bench::millisecondsSince(start);
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    // Quit the way a logger does (Ctrl+Q), so that the web engine's helper processes end with it.
    QProcess quit;
    quit.setStandardOutputFile(QProcess::nullDevice());
    quit.setStandardErrorFile(QProcess::nullDevice());
    quit.start(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            QStringLiteral("^tapeScribe$"), QStringLiteral("windowfocus"), QStringLiteral("--sync"),
            QStringLiteral("key"), QStringLiteral("ctrl+q") });
    quit.waitForFinished(10000);
    if (!application.waitForFinished(10000)) {
        application.kill();
        application.waitForFinished();
    }
    return launch;
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    LogServiceProcess service;
    if (!service.start()) {
        std::fprintf(stderr, "the local log service did not start\n");
        return 1;
    }
    QTemporaryDir home;
    constexpr int launches = 7;
    std::vector<double> windowShown, formLoaded;
    for (int i = 0; i < launches; ++i) {
        const Launch launch = launchOnce(service, home.path());
        if (launch.windowShownMs < 0 || launch.formLoadedMs < 0) {
            std::fprintf(stderr, "launch %d did not finish within a minute (window %.0f ms, form %.0f ms)\n",
                i + 1, launch.windowShownMs, launch.formLoadedMs);
            QFile log(home.filePath(QStringLiteral("launch.log")));
            if (log.open(QIODevice::ReadOnly))
                std::fprintf(stderr, "%s", log.readAll().right(3000).constData());
            return 1;
        }
        if (i == 0) {
            std::printf("first launch (empty profile): window shown %.0f ms, log form served %.0f ms\n",
                launch.windowShownMs, launch.formLoadedMs);
            continue;
        }
        windowShown.push_back(launch.windowShownMs);
        formLoaded.push_back(launch.formLoadedMs);
    }
    std::printf("launch to main window shown: median %.0f ms over %d launches\n", Bench::median(windowShown),
        launches - 1);
    std::printf("launch to log form loaded from the local service: median %.0f ms over %d launches\n",
        Bench::median(formLoaded), launches - 1);
    return 0;
}
