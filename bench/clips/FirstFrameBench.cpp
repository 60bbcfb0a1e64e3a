#include "BenchApplication.h"
#include "QuietConsole.h"
#include "support/Statistics.h"

#include "clips/PlayerView.h"

#include <QFile>
#include <QRegularExpression>
#include <QTableView>

namespace {

constexpr int runs = 7;

struct Format
{
    const char* name;
    const char* fileName;
    QStringList encoder;
};

// mpv's own time from opening the file to showing its first frame, read from its log.
std::optional<double> mpvOpenToFirstFrame(const QString& clip, const QString& log)
{
    QProcess mpv;
    mpv.start(QStringLiteral("mpv"),
        { QStringLiteral("--no-config"), QStringLiteral("--vo=gpu"), QStringLiteral("--gpu-sw"),
            QStringLiteral("--hwdec=no"), QStringLiteral("--ao=null"), QStringLiteral("--frames=1"),
            QStringLiteral("--log-file=") + log, clip });
    if (!mpv.waitForFinished(60'000))
        return std::nullopt;
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QRegularExpression stamped(QStringLiteral(R"(^\[\s*([0-9.]+)\])"));
    std::optional<double> opened, shown;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine());
        const auto match = stamped.match(line);
        if (!match.hasMatch())
            continue;
        if (!opened && line.contains(QStringLiteral("] Opening ") + clip))
            opened = match.captured(1).toDouble();
        if (line.contains(QStringLiteral("first video frame after restart shown"))) {
            shown = match.captured(1).toDouble();
            break;
        }
    }
    if (!opened || !shown)
        return std::nullopt;
    return (*shown - *opened) * 1000.0;
}

}

// From a selection in the clip table to the clip's first frame drawn, beside the mpv command's own
// open-to-first-frame time on the same files.
int main(int argc, char** argv)
{
    prepareProcess();
    QApplication application(argc, argv);
    configureApplication();

    const std::array formats {
        Format { "H.264 MP4", "h264.mp4", { "-c:v", "libx264", "-pix_fmt", "yuv420p" } },
        Format { "ProRes MOV", "prores.mov", { "-c:v", "prores_ks", "-profile:v", "2" } },
        Format {
            "DNxHD MXF", "dnxhd.mxf", { "-c:v", "dnxhd", "-profile:v", "dnxhr_sq", "-pix_fmt", "yuv422p" } },
    };
    QTemporaryDir folder;
    for (const Format& format : formats) {
        if (!makeClip(folder.filePath(QLatin1String(format.fileName)), "1280x720", 2, format.encoder))
            return 1;
    }

    BenchApplication app;
    {
        QuietConsole quiet;
        app.delegate.openPaths({ folder.path() });
    }
    for (const Format& format : formats) {
        int row = 0;
        while (app.delegate.assets[row].name != QLatin1String(format.fileName))
            ++row;
        std::vector<double> ours, theirs;
        for (int run = 0; run < runs; ++run) {
            bool drawn = false;
            const auto connection
                = QObject::connect(app.delegate.playerView, &PlayerView::frameDrawn, [&] { drawn = true; });
            QuietConsole quiet;
            const auto start = Bench::Clock::now();
            app.delegate.tableView->selectRow(app.delegate.clipSortModel.viewRow(row));
            if (BenchApplication::waitFor([&] { return drawn; }))
                ours.push_back(Bench::millisecondsSince(start));
            QObject::disconnect(connection);
            app.delegate.tableView->clearSelection();
            if (const auto mpv = mpvOpenToFirstFrame(folder.filePath(QLatin1String(format.fileName)),
                    folder.filePath(QStringLiteral("mpv.log"))))
                theirs.push_back(*mpv);
        }
        const double ourMedian = Bench::median(ours), theirMedian = Bench::median(theirs);
        std::printf("%-10s selection to first frame: median %6.1f ms (%zu runs); mpv open to first frame: "
                    "median %6.1f ms (%zu runs); ratio %.2f (goal <= 1.2)\n",
            format.name, ourMedian, ours.size(), theirMedian, theirs.size(),
            theirMedian > 0 ? ourMedian / theirMedian : 0.0);
    }
    return 0;
}
