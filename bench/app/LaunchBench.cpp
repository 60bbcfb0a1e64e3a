#include "WindowMaps.h"

#include "support/LogServiceProcess.h"
#include "support/Statistics.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

// Launches the real tapescribe against the local log service and measures, from the moment the process is
// started, when its main window is mapped on the display (the X server's notice, read within a millisecond)
// and when the log form's first page has been served (a signed-out visitor's form request ends on the sign-in
// page). Two bare programs are launched in turn with it, so that the figures can be read against what Qt
// itself takes on this machine at this moment: a window with nothing in it, and a web view that loads the
// same form and does nothing else. The bare window is launched three more times, made to load the libraries
// tapeScribe loads before its window can show, so that the figures also say where tapeScribe's time goes.
namespace {

const QString formHost = QStringLiteral("logs.tapescribe.test");

struct Program
{
    QString name;
    QString path;
    QStringList arguments;
    // The window title, as a pattern.
    QString titlePattern;
    bool loadsForm = true;
};

struct Launch
{
    double windowShownMs = -1;
    double formLoadedMs = -1;
};

int signInPagesServed(LogServiceProcess& service)
{
    return int(service.requestLines().filter(QStringLiteral("request GET /users/login")).size());
}

Launch launchOnce(const Program& program, LogServiceProcess& service, const QString& home, WindowMaps& maps)
{
    const int servedBefore = signInPagesServed(service);
    QProcess application;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    environment.insert(
        QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"), QString::fromLatin1(service.chromiumFlags(formHost)));
    application.setProcessEnvironment(environment);
    application.setStandardOutputFile(home + QStringLiteral("/launch.log"));
    application.setStandardErrorFile(home + QStringLiteral("/launch.log"), QIODevice::Append);

    Launch launch;
    const auto start = Bench::Clock::now();
    application.start(program.path, program.arguments);
    QDeadlineTimer deadline(60000);
    const auto finished
        = [&] { return launch.windowShownMs >= 0 && (!program.loadsForm || launch.formLoadedMs >= 0); };
    const QRegularExpression title(program.titlePattern);
    auto serviceRead = start;
    while (!deadline.hasExpired() && !finished()) {
        maps.read();
        if (const auto mapped = maps.mapped(title, start); launch.windowShownMs < 0 && mapped)
            launch.windowShownMs = std::chrono::duration<double, std::milli>(*mapped - start).count();
        // The service's lines cost more to go through than the display's notices, and the launch needs
        // the processor more than the form's time needs a finer grain: they are read every 5 ms.
        if (program.loadsForm && launch.formLoadedMs < 0 && Bench::millisecondsSince(serviceRead) >= 5) {
            serviceRead = Bench::Clock::now();
            if (signInPagesServed(service) > servedBefore)
                launch.formLoadedMs = Bench::millisecondsSince(start);
        }
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    // Quit the way a logger does (Ctrl+Q), so that the web engine's helper processes end with it.
    QProcess quit;
    quit.setStandardOutputFile(QProcess::nullDevice());
    quit.setStandardErrorFile(QProcess::nullDevice());
    quit.start(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
            program.titlePattern, QStringLiteral("windowfocus"), QStringLiteral("--sync"),
            QStringLiteral("key"), QStringLiteral("ctrl+q") });
    quit.waitForFinished(10000);
    if (!application.waitForFinished(10000)) {
        application.kill();
        application.waitForFinished();
    }
    return launch;
}

struct Samples
{
    std::vector<double> windowShown;
    std::vector<double> formLoaded;
};

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    WindowMaps maps;
    if (!maps.isConnected()) {
        std::fprintf(stderr, "no X display to watch\n");
        return 1;
    }
    LogServiceProcess service;
    if (!service.start()) {
        std::fprintf(stderr, "the local log service did not start\n");
        return 1;
    }
    const QString formURL = QStringLiteral("https://%1/index.php/logger/form").arg(formHost);
    std::vector<Program> programs {
        { QStringLiteral("tapeScribe"), TestEnvironment::builtProgram(QStringLiteral("tapescribe")), {},
            QStringLiteral("^tapeScribe$") },
        { QStringLiteral("bare Qt window"),
            TestEnvironment::builtProgram(QStringLiteral("bench_launch_bare_window")), {},
            QStringLiteral("^Bare Qt window$"), false },
        { QStringLiteral("bare web view"),
            TestEnvironment::builtProgram(QStringLiteral("bench_launch_bare_web_view")), { formURL },
            QStringLiteral("^Bare web view$") },
        // Not floors: the bare window loading what tapeScribe loads, to tell where its time goes.
        { QStringLiteral("bare Qt window loading FFmpeg"),
            TestEnvironment::builtProgram(QStringLiteral("bench_launch_bare_window_ffmpeg")), {},
            QStringLiteral("^Bare Qt window$"), false },
        { QStringLiteral("bare Qt window loading FFmpeg and libmpv"),
            TestEnvironment::builtProgram(QStringLiteral("bench_launch_bare_window_mpv")), {},
            QStringLiteral("^Bare Qt window$"), false },
        { QStringLiteral("bare Qt window loading the web engine"),
            TestEnvironment::builtProgram(QStringLiteral("bench_launch_bare_window_web_engine")), {},
            QStringLiteral("^Bare Qt window$"), false },
    };
    // Another build's tapeScribe, to compare a change with: launched in the same turns, it meets the same
    // moments of the machine, where medians of runs minutes apart drift by ±10 % here.
    const QString baseline = qEnvironmentVariable("TAPESCRIBE_LAUNCH_BASELINE");
    if (!baseline.isEmpty())
        programs.push_back({ QStringLiteral("tapeScribe of the baseline build"), baseline, {},
            QStringLiteral("^tapeScribe$") });
    // Each program keeps a home of its own, so that the first launch of each starts on an empty profile
    // and every later one on the profile its predecessors left.
    std::vector<std::unique_ptr<QTemporaryDir>> homes;
    for (size_t p = 0; p < programs.size(); ++p)
        homes.push_back(std::make_unique<QTemporaryDir>());
    // The programs take turns, so that whatever else the machine does at a moment weighs on all of them.
    // Single launches of one program spread by ±15 % here; the median of ten holds still to a few per cent.
    constexpr int launches = 11;
    std::vector<Samples> samples(programs.size());
    for (int i = 0; i < launches; ++i) {
        for (size_t p = 0; p < programs.size(); ++p) {
            const Program& program = programs[p];
            const QString home = homes[p]->path();
            const Launch launch = launchOnce(program, service, home, maps);
            if (launch.windowShownMs < 0 || (program.loadsForm && launch.formLoadedMs < 0)) {
                std::fprintf(stderr,
                    "%s: launch %d did not finish within a minute (window %.0f ms, form %.0f ms)\n",
                    qPrintable(program.name), i + 1, launch.windowShownMs, launch.formLoadedMs);
                QFile log(home + QStringLiteral("/launch.log"));
                if (log.open(QIODevice::ReadOnly))
                    std::fprintf(stderr, "%s", log.readAll().right(3000).constData());
                return 1;
            }
            if (i == 0) {
                std::printf("%s, first launch (empty profile): window shown %.0f ms",
                    qPrintable(program.name), launch.windowShownMs);
                if (program.loadsForm)
                    std::printf(", log form served %.0f ms", launch.formLoadedMs);
                std::printf("\n");
                continue;
            }
            samples[p].windowShown.push_back(launch.windowShownMs);
            samples[p].formLoaded.push_back(launch.formLoadedMs);
        }
    }
    for (size_t p = 0; p < programs.size(); ++p) {
        std::printf("%s: launch to window shown: median %.0f ms over %d launches\n",
            qPrintable(programs[p].name), Bench::median(samples[p].windowShown), launches - 1);
        if (programs[p].loadsForm)
            std::printf(
                "%s: launch to log form served by the local service: median %.0f ms over %d launches\n",
                qPrintable(programs[p].name), Bench::median(samples[p].formLoaded), launches - 1);
    }
    const auto printRatios = [&](const char* name, const Samples& tapeScribe) {
        std::printf("window shown, %s / bare Qt window: %.2f\n", name,
            Bench::median(tapeScribe.windowShown) / Bench::median(samples[1].windowShown));
        std::printf("log form served, %s / bare web view: %.2f\n", name,
            Bench::median(tapeScribe.formLoaded) / Bench::median(samples[2].formLoaded));
    };
    printRatios("tapeScribe", samples[0]);
    if (!baseline.isEmpty())
        printRatios("the baseline build's tapeScribe", samples.back());
    const double bareWindow = Bench::median(samples[1].windowShown);
    const auto added
        = [&](size_t program) { return Bench::median(samples[program].windowShown) - bareWindow; };
    // The web engine's share comes with the OpenGL context that it has Qt make with the application.
    std::printf("what loading costs the bare window: FFmpeg %+.0f ms, FFmpeg and libmpv %+.0f ms, the web "
                "engine %+.0f ms; tapeScribe %+.0f ms in all\n",
        added(3), added(4), added(5), added(0));
    return 0;
}
