#include "QuietConsole.h"
#include "support/Statistics.h"

#include "clips/ClipScan.h"
#include "clips/MediaCapabilities.h"
#include "clips/TypeIdentifiers.h"
#include "core/Console.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The scan of a folder of 10,000 entries (clips, other files, subfolders) against the least any scan
// must do: list the folder and statx() each entry.
int main()
{
    constexpr int clips = 4000, others = 4000, folders = 2000, runs = 30;
    QTemporaryDir folder;
    const char* clipExtensions[] = { ".MXF", ".MOV", ".mp4", ".mxf" };
    for (int i = 0; i < clips; ++i)
        QFile(
            folder.filePath(
                QStringLiteral("C%1%2").arg(i, 5, 10, QChar(u'0')).arg(QLatin1String(clipExtensions[i % 4]))))
            .open(QIODevice::WriteOnly);
    for (int i = 0; i < others; ++i)
        QFile(folder.filePath(QStringLiteral("sidecar%1.xml").arg(i))).open(QIODevice::WriteOnly);
    for (int i = 0; i < folders; ++i)
        QDir(folder.path()).mkdir(QStringLiteral("sub%1.MOV").arg(i));

    const QByteArray path = QFile::encodeName(folder.path());
    auto baseline = [&] {
        DIR* listing = ::opendir(path.constData());
        struct statx status;
        while (const dirent* entry = ::readdir(listing)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::statx(::dirfd(listing), entry->d_name, 0, STATX_TYPE | STATX_BTIME, &status);
        }
        ::closedir(listing);
    };
    const auto capabilities = MediaCapabilities::query();
    const QStringList types
        = TypeIdentifiers::playableTypes(capabilities ? capabilities->demuxers : QStringList());
    qsizetype found = 0;
    // As the application scans: its lines gathered into a few writes while the scan holds the thread.
    auto scan = [&] {
        ConsoleBatch console;
        found = ClipScan::scan(folder.path(), types, [&console](const QString& line) { console.line(line); })
                    .clips.size();
    };
    auto silentScan = [&] { ClipScan::scan(folder.path(), types, [](const QString&) {}); };
    // The least the console lines can cost: as many single writes of a line, and nothing else.
    QStringList lines;
    ClipScan::scan(folder.path(), types, [&](const QString& line) { lines.append(line); });
    auto linesAlone = [&] {
        for (const QString& line : lines)
            consoleLine(line);
    };

    double bare = 0, ours = 0, silent = 0, writes = 0;
    {
        QuietConsole quiet;
        Bench::timeRuns(3, baseline);
        Bench::timeRuns(3, scan);
        bare = Bench::median(Bench::timeRuns(runs, baseline));
        ours = Bench::median(Bench::timeRuns(runs, scan));
        silent = Bench::median(Bench::timeRuns(runs, silentScan));
        writes = Bench::median(Bench::timeRuns(runs, linesAlone));
    }
    std::printf("folder of %d entries (%d clips, %d other files, %d subfolders), %lld records\n",
        clips + others + folders, clips, others, folders, static_cast<long long>(found));
    std::printf("baseline listing + statx: median %.2f ms over %d runs\n", bare, runs);
    std::printf("scan with its console lines (to /dev/null): median %.2f ms\n", ours);
    std::printf("scan without console lines: median %.2f ms (%.2f x baseline)\n", silent, silent / bare);
    std::printf("its %lld console lines alone, one write each: median %.2f ms (%.2f x baseline)\n",
        static_cast<long long>(lines.size()), writes, writes / bare);
    std::printf("ratio scan / baseline: %.2f (goal <= 1.5)\n", ours / bare);
    return 0;
}
