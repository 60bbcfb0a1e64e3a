#include "BenchApplication.h"
#include "QuietConsole.h"
#include "support/Statistics.h"

#include <QFile>
#include <QTableView>
#include <QTimer>

#include <cstdlib>
#include <ctime>

#include <unistd.h>

// The metadata of 1,000 clips (H.264 MP4, ProRes MOV, MPEG-2 MXF) read by the worker pool in the running
// window, against ffprobe run once per file; and the longest the main thread goes without an event-loop
// turn while the rows update, measured by a 1 ms timer that notes its own lateness.
namespace {

constexpr int clips = 1000, runs = 3;

struct Sample
{
    const char* fileName;
    QStringList encoder;
};

// The processor time the calling thread has used: what it spent working, not waiting for a processor
// that other programs hold.
qint64 threadCpuNanoseconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double loadAverage()
{
    double load = 0;
    return ::getloadavg(&load, 1) == 1 ? load : -1;
}

// A 1 ms timer on the main thread that notes how late each of its ticks comes: the longest time between
// two turns of the event loop as the clock on the wall sees it (a busy machine's other programs count in
// it), and the longest processor time the main thread spent between two turns (its own work alone).
class StallClock
{
public:
    StallClock()
    {
        ticks.setTimerType(Qt::PreciseTimer);
        ticks.setInterval(1);
        QObject::connect(&ticks, &QTimer::timeout, [this] {
            longestGap = std::max(longestGap, sinceTick.nsecsElapsed());
            longestBusy = std::max(longestBusy, threadCpuNanoseconds() - busySince);
            sinceTick.restart();
            busySince = threadCpuNanoseconds();
        });
        sinceTick.start();
        busySince = threadCpuNanoseconds();
        ticks.start();
    }
    double longestStall() const { return double(longestGap) / 1e6 - ticks.interval(); }
    double longestWork() const { return double(longestBusy) / 1e6; }

private:
    QTimer ticks;
    QElapsedTimer sinceTick;
    qint64 busySince = 0;
    qint64 longestGap = 0;
    qint64 longestBusy = 0;
};

struct PoolRun
{
    double milliseconds;
    double longestStall;
    double longestWork;
};

// Scans `folder` in the window and waits until every row has its metadata.
PoolRun readInWindow(BenchApplication& app, const QString& folder)
{
    {
        QuietConsole quiet;
        app.delegate.openPaths({ folder });
    }
    QElapsedTimer clock;
    clock.start();
    const StallClock stalls;
    const auto allRead = [&] {
        for (int row = 0; row < app.delegate.assets.size(); ++row)
            if (app.delegate.clipModel.isMetadataPending(row))
                return false;
        return true;
    };
    BenchApplication::waitFor(allRead, 600'000);
    const double total = double(clock.nsecsElapsed()) / 1e6;
    // Let the table draw what came last.
    BenchApplication::runFor(200);
    return { total, stalls.longestStall(), stalls.longestWork() };
}

}

int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();

    QTemporaryDir work, folder;
    const Sample samples[] = {
        { "clip.mp4",
            { QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-pix_fmt"),
                QStringLiteral("yuv420p") } },
        { "clip.mov", { QStringLiteral("-c:v"), QStringLiteral("prores_ks") } },
        { "clip.mxf",
            { QStringLiteral("-c:v"), QStringLiteral("mpeg2video"), QStringLiteral("-pix_fmt"),
                QStringLiteral("yuv422p") } },
    };
    QStringList sources;
    for (const Sample& sample : samples) {
        const QString path = work.filePath(QLatin1String(sample.fileName));
        const QStringList header { QStringLiteral("-metadata"),
            QStringLiteral("creation_time=2016-03-01T14:05:09Z"), QStringLiteral("-timecode"),
            QStringLiteral("14:05:09:00") };
        if (!makeClip(path, "320x180", 2, sample.encoder + header))
            return 1;
        sources.append(path);
    }
    // Hard links: 1,000 clips cost no disk, and every file is read through the same page cache by both.
    QStringList paths;
    for (int i = 0; i < clips; ++i) {
        const QString& source = sources[i % sources.size()];
        const QString path = folder.filePath(
            QStringLiteral("C%1.%2").arg(i, 4, 10, QChar(u'0')).arg(source.section(u'.', -1)));
        if (::link(QFile::encodeName(source).constData(), QFile::encodeName(path).constData()) != 0)
            return 1;
        paths.append(path);
    }

    BenchApplication app;
    // The window's first seconds (the web view starting, the first paint) are not the rows' doing.
    BenchApplication::runFor(3000);
    // What the machine alone does to the event loop: the same clock with nothing to do, and with nothing
    // to do but draw the clip table once. (A window composed with OpenGL would show here: without a
    // graphics card each repaint is then Mesa's software renderer drawing the whole window.)
    double idleStall = 0;
    {
        const StallClock idle;
        BenchApplication::runFor(1000);
        idleStall = idle.longestStall();
    }
    std::vector<double> repaintStalls;
    for (int repaint = 0; repaint < 5; ++repaint) {
        const StallClock drawing;
        app.delegate.tableView->viewport()->update();
        BenchApplication::runFor(300);
        repaintStalls.push_back(drawing.longestStall());
    }
    std::vector<double> times, stalls, busyStretches;
    for (int run = 0; run < runs; ++run) {
        const PoolRun result = readInWindow(app, folder.path());
        times.push_back(result.milliseconds);
        stalls.push_back(result.longestStall);
        busyStretches.push_back(result.longestWork);
        std::printf(
            "pool run %d: %d clips read in %.0f ms; longest main-thread stall %.1f ms, of which its own "
            "work %.1f ms (load average %.2f)\n",
            run + 1, clips, result.milliseconds, result.longestStall, result.longestWork, loadAverage());
    }

    // ffprobe costs a process per file: timed on every tenth clip unless asked for all of them.
    const bool everyClip = qEnvironmentVariableIsSet("TAPESCRIBE_BENCH_FFPROBE_ALL");
    const int step = everyClip ? 1 : 10;
    int probed = 0;
    const auto start = Bench::Clock::now();
    for (int i = 0; i < clips; i += step, ++probed) {
        QProcess ffprobe;
        ffprobe.start(QStringLiteral("ffprobe"),
            { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                QStringLiteral(
                    "format_tags:stream_tags:stream=codec_name,width,height,avg_frame_rate:format=duration"),
                QStringLiteral("-of"), QStringLiteral("json"), paths[i] });
        if (!ffprobe.waitForFinished(60'000) || ffprobe.exitCode() != 0)
            return 1;
    }
    const double perFile = Bench::millisecondsSince(start) / probed;
    const double ffprobeTotal = perFile * clips;
    const double pool = Bench::median(times);
    std::printf(
        "ffprobe once per file: %.1f ms a file over %d files -> %.0f ms for %d clips%s (load average %.2f)\n",
        perFile, probed, ffprobeTotal, clips, everyClip ? "" : " (every tenth clip timed)", loadAverage());
    std::printf("pool: median %.0f ms over %d runs; ratio pool / ffprobe: %.4f (goal <= 0.1)\n", pool, runs,
        pool / ffprobeTotal);
    std::printf(
        "longest main-thread stall while rows update: %.1f ms on the wall clock (%.1f ms with nothing to "
        "do, median %.1f ms to draw the table once with nothing else to do), %.1f ms of the main thread's "
        "own work (goal <= 16)\n",
        *std::max_element(stalls.begin(), stalls.end()), idleStall, Bench::median(repaintStalls),
        *std::max_element(busyStretches.begin(), busyStretches.end()));
    return 0;
}
