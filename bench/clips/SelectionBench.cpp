#include "BenchApplication.h"
#include "QuietConsole.h"
#include "support/Statistics.h"

#include "core/Platform.h"
#include "clips/ClipMetadata.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <QDir>
#include <QFile>
#include <QTableView>

#include <unistd.h>

namespace {

constexpr int changes = 40;

// A folder of `count` clips: hard links of one small ProRes clip, so that 10,000 cost no disk.
bool makeFolder(const QTemporaryDir& folder, const QString& clip, int count)
{
    for (int i = 0; i < count; ++i) {
        const QString link = folder.filePath(QStringLiteral("C%1.MOV").arg(i, 5, 10, QChar(u'0')));
        if (::link(QFile::encodeName(clip).constData(), QFile::encodeName(link).constData()) != 0)
            return false;
    }
    return true;
}

// The main thread's time for each selection change between rows spread over the whole list; between
// changes the clip opens, so that each change also tears a playing core down. The changes start at once,
// while the workers still read the clips' headers, or once every header has been read.
std::vector<double> selectionChanges(const QString& folder, int count, bool headersRead)
{
    BenchApplication app;
    std::vector<double> samples;
    QuietConsole quiet;
    app.delegate.openPaths({ folder });
    if (headersRead) {
        BenchApplication::waitFor(
            [&] {
                for (int row = 0; row < count; ++row)
                    if (app.delegate.clipModel.isMetadataPending(row))
                        return false;
                return true;
            },
            600'000);
    }
    constexpr int warmUp = 3; // the first change also makes the player core
    for (int i = 0; i < warmUp + changes; ++i) {
        const int row = int((qint64(i) * 7919) % count);
        const auto start = Bench::Clock::now();
        app.delegate.tableView->selectRow(
            app.delegate.clipSortModel.viewRow(row == app.delegate.loadedAssetIndex ? (row + 1) % count : row));
        if (i >= warmUp)
            samples.push_back(Bench::millisecondsSince(start));
        BenchApplication::waitFor([&] { return app.delegate.playerView->player()->duration() > 0; });
    }
    return samples;
}

}

int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();

    QTemporaryDir work;
    const QString clip = work.filePath(QStringLiteral("clip.mov"));
    if (!makeClip(clip, "320x180", 2, { QStringLiteral("-c:v"), QStringLiteral("prores_ks") }))
        return 1;

    // The headers of 10 clips are read before the first change can start; those of 10,000 take a few
    // seconds, during which the workers share the processors with every change. How many of the changes
    // fall into those seconds depends on how soon each clip opens.
    const struct
    {
        int count;
        bool headersRead;
        const char* when;
    } cases[] {
        { 10, true, "" },
        { 10'000, true, ", headers read" },
        { 10'000, false, ", headers still being read" },
    };
    std::vector<double> medians;
    for (const auto& [count, headersRead, when] : cases) {
        QTemporaryDir folder;
        if (!makeFolder(folder, clip, count))
            return 1;
        const std::vector<double> samples = selectionChanges(folder.path(), count, headersRead);
        medians.push_back(Bench::median(samples));
        std::printf("selection change with %5d clips%s: median %.2f ms, slowest %.2f ms over %d changes\n", count,
            when, medians.back(), *std::max_element(samples.begin(), samples.end()), changes);
    }
    std::printf("ratio 10,000 / 10 clips: %.2f with their headers read, %.2f while they are read (goal <= 1.2); "
                "goal median <= 15 ms\n",
        medians[1] / medians[0], medians[2] / medians[0]);

    // Where the time goes: the parts of one change, each on its own, with a clip playing between.
    BenchApplication app;
    PlayerView* view = app.delegate.playerView;
    std::vector<double> teardown, core, attach;
    for (int i = 0; i < 20; ++i) {
        auto start = Bench::Clock::now();
        view->setPlayer(nullptr);
        teardown.push_back(Bench::millisecondsSince(start));
        start = Bench::Clock::now();
        auto player = view->makePlayer(clip);
        core.push_back(Bench::millisecondsSince(start));
        MpvPlayer* opened = player.get();
        start = Bench::Clock::now();
        view->setPlayer(std::move(player));
        attach.push_back(Bench::millisecondsSince(start));
        BenchApplication::waitFor([&] { return opened->duration() > 0; });
    }
    const QString stamp = QStringLiteral("com.FernwrightSystem.logStartTime");
    const double write = Bench::median(Bench::timeRuns(20, [&] {
        AppDelegate::runCommand(
            Platform::xattrTool(), { QStringLiteral("-w"), stamp, QStringLiteral("v"), clip },
            Platform::xattrToolDeadline);
    }));
    const double read = Bench::median(Bench::timeRuns(20, [&] {
        AppDelegate::runCommand(
            Platform::xattrTool(), { QStringLiteral("-p"), stamp, clip }, Platform::xattrToolDeadline);
    }));
    // A clip chosen before its header was read has it read at once, on the main thread.
    const double header = Bench::median(Bench::timeRuns(20, [&] { ClipMetadata::readHeader(clip); }));
    std::printf("of which (medians): player removed %.2f ms, player made %.2f ms (the first one also makes "
                "the core), player shown and opened %.2f ms, "
                "xattr -w %.2f ms, xattr -p %.2f ms; a header read at once %.2f ms\n",
        Bench::median(teardown), Bench::median(core), Bench::median(attach), write, read, header);
    return 0;
}
