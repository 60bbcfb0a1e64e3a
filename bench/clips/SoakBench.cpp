#include "BenchApplication.h"
#include "QuietConsole.h"
#include "support/Statistics.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTableView>

#include <cstdio>
#include <cstdlib>

#include <malloc.h>

namespace {

// The process's own figures, as the kernel counts them, and what of its memory the C library's heaps
// hand out: resident memory also counts the free space that the heaps keep, so a leak shows in the
// second figure first.
struct Usage
{
    double residentMiB = 0;
    double heapInUseMiB = 0;
    int threads = 0;
    int descriptors = 0;
};

Usage usage()
{
    Usage now;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                now.residentMiB = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            else if (line.startsWith("Threads:"))
                now.threads = line.mid(8).trimmed().toInt();
        }
    }
    now.descriptors
        = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
    now.heapInUseMiB = double(::mallinfo2().uordblks) / (1024.0 * 1024.0);
    return now;
}

void press(QWidget* view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(view, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(view, &up);
}

double percent(double from, double to)
{
    return from > 0 ? (to - from) / from * 100.0 : 0.0;
}

}

// tapeScribe's window playing, shuttling and switching clips for the given minutes (30 by default):
// every minute the process's resident memory, threads and open file descriptors. A clip that should open
// and does not, a player that fails on a good clip, or a shuttle that does not move counts as a failure;
// any failure makes the exit status 1.
int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(QLatin1String(name)); };
    const QStringList gop { "-c:v", "libx264", "-preset", "veryfast", "-g", "50", "-keyint_min", "50",
        "-sc_threshold", "0", "-pix_fmt", "yuv420p", "-movflags", "+faststart" };
    if (!makeClip(path("a-gop50.mp4"), "640x360", 10, gop)
        || !makeClip(path("b-prores.mov"), "640x360", 6, { "-c:v", "prores", "-profile:v", "2" })
        || !makeClip(
            path("c-mpeg2.mxf"), "640x360", 6, { "-c:v", "mpeg2video", "-pix_fmt", "yuv422p", "-b:v", "8M" })
        || !makeClip(path("d-dnxhr.mxf"), "1280x720", 4,
            { "-c:v", "dnxhd", "-profile:v", "dnxhr_lb", "-pix_fmt", "yuv422p" })
        || !makeClip(path("e-cut.mp4"), "640x360", 10, gop))
        return 1;
    // A clip cut off halfway, as a card pulled during recording leaves it.
    QFile cut(path("e-cut.mp4"));
    if (!cut.open(QIODevice::ReadWrite) || !cut.resize(cut.size() / 2))
        return 1;
    cut.close();
    // A list of addresses dressed as a clip: it must fail at once, and fetch nothing.
    QFile list(path("f-list.mov"));
    if (!list.open(QIODevice::WriteOnly) || list.write("#EXTM3U\nhttp://127.0.0.1:9/clip.mp4\n") < 0)
        return 1;
    list.close();

    BenchApplication app;
    {
        QuietConsole quiet;
        app.delegate.openPaths({ folder.path() });
    }
    PlayerView* view = app.delegate.playerView;
    QTableView* table = app.delegate.tableView;
    const auto row = [&](const char* name) {
        for (int i = 0; i < app.delegate.assets.size(); ++i)
            if (app.delegate.assets[i].name == QLatin1String(name))
                return i;
        return -1;
    };
    const std::array playable { "a-gop50.mp4", "b-prores.mov", "c-mpeg2.mxf", "d-dnxhr.mxf", "e-cut.mp4" };
    const int failing = row("f-list.mov");

    long selections = 0;
    int failures = 0;
    const auto failure = [&](const char* what, const char* clip) {
        ++failures;
        std::fprintf(stderr, "failure: %s (%s)\n", what, clip);
    };
    const auto select = [&](int target) {
        table->selectRow(app.delegate.clipSortModel.viewRow(target));
        ++selections;
    };
    const auto opened = [&] {
        return BenchApplication::waitFor([&] {
            const MpvPlayer* player = view->player();
            return player && (player->failure() || (player->hasPicture() && player->duration() > 0));
        });
    };

    // One round: each playable clip opened, played, shuttled both ways and stepped; the list that must
    // fail; then a run of quick changes.
    const auto round = [&] {
        QuietConsole quiet;
        for (const char* clip : playable) {
            select(row(clip));
            if (!opened() || view->player()->failure()) {
                failure("did not open", clip);
                continue;
            }
            MpvPlayer* player = view->player();
            double before = player->currentTime();
            press(view, Qt::Key_L);
            press(view, Qt::Key_L);
            BenchApplication::runFor(800);
            if (player->currentTime() <= before)
                failure("L did not move", clip);
            press(view, Qt::Key_J);
            press(view, Qt::Key_J);
            before = player->currentTime();
            BenchApplication::runFor(900);
            if (player->currentTime() >= before && player->currentTime() > 0)
                failure("J J did not move", clip);
            press(view, Qt::Key_K);
            for (int key : { Qt::Key_Left, Qt::Key_Left, Qt::Key_Right, Qt::Key_Left }) {
                press(view, key);
                BenchApplication::runFor(60);
            }
            press(view, Qt::Key_Left, Qt::ShiftModifier);
            press(view, Qt::Key_J);
            BenchApplication::runFor(300);
        }
        select(failing);
        if (!opened() || !view->player()->failure())
            failure("a list dressed as a clip did not fail", "f-list.mov");
        // A logger running down the list with the arrow keys: changes faster than clips open.
        for (int i = 0; i < 20; ++i) {
            select(row(playable[size_t(i) % playable.size()]));
            BenchApplication::runFor(15);
        }
        if (!opened())
            failure("the last of a run of changes did not open", "");
    };

    std::vector<Usage> samples;
    std::printf("minute  selections  resident MiB  heap in use MiB  threads  open fds  failures\n");
    std::fflush(stdout);
    const auto started = Bench::Clock::now();
    while (int(samples.size()) < minutes) {
        round();
        if (std::chrono::duration<double>(Bench::Clock::now() - started).count()
            < 60.0 * double(samples.size() + 1))
            continue;
        samples.push_back(usage());
        std::printf("%6zu  %10ld  %12.1f  %15.1f  %7d  %8d  %8d\n", samples.size(), selections,
            samples.back().residentMiB, samples.back().heapInUseMiB, samples.back().threads,
            samples.back().descriptors, failures);
        std::fflush(stdout);
    }
    // From the end of the second minute (the first when the run is shorter) to the end.
    const Usage& from = samples[std::min<size_t>(1, samples.size() - 1)];
    const Usage& to = samples.back();
    std::printf("growth from minute %zu to %zu: resident %+.1f %%, threads %+.1f %%, open fds %+.1f %% (goal "
                "< 5 %%), heap in use %+.1f %%; %ld selection changes, %d failures\n",
        std::min<size_t>(2, samples.size()), samples.size(), percent(from.residentMiB, to.residentMiB),
        percent(from.threads, to.threads), percent(from.descriptors, to.descriptors),
        percent(from.heapInUseMiB, to.heapInUseMiB), selections, failures);
    return failures == 0 ? 0 : 1;
}
