#include "clips/ClipScan.h"
#include "app/DateFormatter.h"
#include "clips/TypeIdentifiers.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QStringList accepted
    = TypeIdentifiers::playableTypes({ QStringLiteral("mxf"), QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2") });

struct Scan
{
    ClipScan::Outcome outcome;
    QStringList console;
};

Scan scan(const QString& path)
{
    Scan result;
    result.outcome
        = ClipScan::scan(path, accepted, [&](const QString& line) { result.console.append(line); });
    return result;
}

void writeFile(const QByteArray& path, const QByteArray& content = {})
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
}

QStringList names(const QList<Clip>& clips)
{
    QStringList result;
    std::ranges::transform(clips, std::back_inserter(result), &Clip::name);
    return result;
}

// The entry names in the order the folder lists them, which is the order records must keep.
QStringList listingOrder(const QString& folder, const QStringList& among)
{
    QStringList order;
    for (const QString& name : QDir(folder).entryList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted))
        if (among.contains(name))
            order.append(name);
    return order;
}

TEST(ClipScan, FolderYieldsAcceptedFilesInListingOrder)
{
    QTemporaryDir folder;
    const QStringList clips { QStringLiteral("A001.MXF"), QStringLiteral("b.mov"), QStringLiteral("C.Mp4") };
    for (const QString& name : clips + QStringList { QStringLiteral("notes.txt") })
        writeFile(QFile::encodeName(folder.filePath(name)), "x");

    const Scan result = scan(folder.path());
    EXPECT_FALSE(result.outcome.listingFailure);
    EXPECT_EQ(names(result.outcome.clips), listingOrder(folder.path(), clips));
    for (const Clip& clip : result.outcome.clips) {
        EXPECT_EQ(clip.path, folder.path() + u'/' + clip.name);
        // The record's time is the file's birth time, in UTC, in the form the date formatter reads.
        struct statx status
        {
        };
        ASSERT_EQ(::statx(AT_FDCWD, QFile::encodeName(clip.path).constData(), 0, STATX_BTIME, &status), 0);
        EXPECT_EQ(clip.created,
            DateFormatter::standardDescription(
                QDateTime::fromSecsSinceEpoch(status.stx_btime.tv_sec, QTimeZone::utc())));
    }

    // The diagnostic lines, in order: the directory test, the folder, then each entry.
    EXPECT_EQ(result.console.mid(0, 3),
        (QStringList { QStringLiteral("success? true"), QStringLiteral("FOLDER"), folder.path() }));
    const qsizetype notes = result.console.indexOf(folder.filePath(QStringLiteral("notes.txt")));
    EXPECT_EQ(result.console.value(notes + 1), QStringLiteral("success? true"));
    EXPECT_FALSE(result.console.value(notes + 2).startsWith(QStringLiteral("can play this")));
    const qsizetype mxf = result.console.indexOf(folder.filePath(QStringLiteral("A001.MXF")));
    EXPECT_EQ(result.console.value(mxf + 2), QStringLiteral("can play this org.smpte.mxf item"));
    EXPECT_EQ(result.console.count(QStringLiteral("can play this org.smpte.mxf item")), 1);
    EXPECT_EQ(result.console.last(), ClipScan::describeClips(result.outcome.clips));
}

TEST(ClipScan, SingleFileOrFolderWithOneClipIsOneRecord)
{
    QTemporaryDir folder;
    writeFile(QFile::encodeName(folder.filePath(QStringLiteral("one.mov"))), "x");
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    Scan result = scan(folder.path());
    EXPECT_EQ(names(result.outcome.clips), QStringList { QStringLiteral("one.mov") });

    writeFile(QFile::encodeName(folder.filePath(QStringLiteral("other.mov"))), "x");
    result = scan(folder.filePath(QStringLiteral("one.mov")));
    EXPECT_EQ(names(result.outcome.clips), QStringList { QStringLiteral("one.mov") });
    EXPECT_EQ(result.outcome.clips.value(0).path, folder.filePath(QStringLiteral("one.mov")));
    EXPECT_EQ(result.console.mid(0, 5),
        (QStringList { QStringLiteral("success? true"), QStringLiteral("MOV"), folder.path(),
            folder.filePath(QStringLiteral("one.mov")), QStringLiteral("success? true") }));

    // A chosen file that does not exist fails the directory test and gives no record.
    result = scan(folder.filePath(QStringLiteral("missing.mov")));
    EXPECT_TRUE(result.outcome.clips.isEmpty());
    EXPECT_EQ(
        result.console.mid(0, 2), (QStringList { QStringLiteral("success? false"), QStringLiteral("MOV") }));
}

TEST(ClipScan, RootFolderPathsStartWithTwoSlashes)
{
    const Scan result = scan(QStringLiteral("/"));
    ASSERT_GE(result.console.size(), 4);
    EXPECT_EQ(result.console.mid(0, 3),
        (QStringList { QStringLiteral("success? true"), QStringLiteral("FOLDER"), QStringLiteral("/") }));
    EXPECT_TRUE(result.console.contains(QStringLiteral("//tmp")));
    for (const Clip& clip : result.outcome.clips)
        EXPECT_TRUE(clip.path.startsWith(QStringLiteral("//"))) << clip.path.toStdString();
}

TEST(ClipScan, BadEntriesYieldExactlyTheRecordsTheRulesGive)
{
    QTemporaryDir temporary;
    const QByteArray folder = QFile::encodeName(temporary.path());
    const QByteArray quoted = "it's \"quoted\".mp4";
    const QByteArray lineBreak = "line\nbreak.mov";
    writeFile(folder + '/' + quoted, "x");
    writeFile(folder + '/' + lineBreak, "x");
    writeFile(folder + "/.hidden.mov", "x");
    writeFile(folder + "/empty.mov");
    writeFile(folder + "/corrupt.mxf", QByteArray(4096, '\x5a'));
    writeFile(folder + "/locked.mov", "x");
    ::chmod(folder + "/locked.mov", 0);
    const QByteArray notUtf8 = folder + "/bad\xff\xfe.mov"; // no text path reaches it
    writeFile(notUtf8, "x");
    // Nor can the temporary folder's own clean-up reach it.
    const auto removeNotUtf8 = qScopeGuard([&] { ::unlink(notUtf8.constData()); });
    ASSERT_EQ(::mkfifo(folder + "/pipe.mov", 0644), 0); // opening it would block the scan for ever
    ASSERT_EQ(::symlink("nowhere.mov", folder + "/broken.mov"), 0);
    ASSERT_EQ(::symlink("empty.mov", folder + "/link.mov"), 0);
    ASSERT_EQ(::mkdir(folder + "/CARD.MXF", 0755), 0);
    writeFile(folder + "/CARD.MXF/inside.mxf", "x");
    ASSERT_EQ(::mkdir(folder + "/clips", 0755), 0);
    for (int i = 0; i < 20; ++i)
        writeFile(folder + "/clips/" + QByteArray::number(i) + ".mov", "x");

    const Scan result = scan(temporary.path());
    const QStringList expected { QString::fromUtf8(quoted), QString::fromUtf8(lineBreak),
        QStringLiteral(".hidden.mov"), QStringLiteral("empty.mov"), QStringLiteral("corrupt.mxf"),
        QStringLiteral("locked.mov"), QStringLiteral("link.mov") };
    EXPECT_EQ(names(result.outcome.clips), listingOrder(temporary.path(), expected));
    for (const Clip& clip : result.outcome.clips)
        EXPECT_EQ(clip.path, temporary.path() + u'/' + clip.name);

    // The broken link and the undecodable name are read and fail; the FIFO and folders are read and refused.
    const qsizetype broken = result.console.indexOf(temporary.filePath(QStringLiteral("broken.mov")));
    EXPECT_EQ(result.console.value(broken + 1), QStringLiteral("success? false"));
    EXPECT_EQ(result.console.count(QStringLiteral("success? false")), 2);
    const qsizetype fifo = result.console.indexOf(temporary.filePath(QStringLiteral("pipe.mov")));
    EXPECT_EQ(result.console.value(fifo + 1), QStringLiteral("success? true"));
    EXPECT_FALSE(result.console.value(fifo + 2).startsWith(QStringLiteral("can play")));
    // One console line per line: the name's line break is escaped in the list rendering.
    EXPECT_EQ(result.console.last(), ClipScan::describeClips(result.outcome.clips));
    EXPECT_FALSE(result.console.last().contains(u'\n'));
}

// Whether a scan of `folder` ends with no clips and a reason, run as a user who may not list it. Root
// is bound by no permission, so then a child process gives up root first.
bool scanFailsToList(const QString& folder)
{
    const auto failsToList = [&] {
        const ClipScan::Outcome outcome = ClipScan::scan(folder, accepted, [](const QString&) {});
        return outcome.clips.isEmpty() && outcome.listingFailure && !outcome.listingFailure->isEmpty();
    };
    if (::geteuid() != 0)
        return failsToList();
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t nobody = 65534;
        const bool dropped
            = ::setresgid(nobody, nobody, nobody) == 0 && ::setresuid(nobody, nobody, nobody) == 0;
        ::_exit(dropped && failsToList() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ClipScan, UnlistableFolderEndsWithNoClipsAndSaysWhy)
{
    QTemporaryDir temporary;
    const QByteArray locked = QFile::encodeName(temporary.path()) + "/locked";
    ::chmod(QFile::encodeName(temporary.path()).constData(), 0755);
    ASSERT_EQ(::mkdir(locked, 0), 0);
    EXPECT_TRUE(scanFailsToList(QFile::decodeName(locked)));
    ::chmod(locked, 0700);
}

TEST(ClipScan, ConsoleListsEscapeWhatWouldBreakALine)
{
    EXPECT_EQ(ClipScan::describeTypes({ QStringLiteral("org.smpte.mxf"), QStringLiteral("public.mpeg-4") }),
        QStringLiteral(R"(["org.smpte.mxf","public.mpeg-4"])"));
    const QString clips = ClipScan::describeClips({ Clip { QStringLiteral("a\"b\nc.mov"),
        QStringLiteral("/x/a\"b\nc.mov"), QStringLiteral("2016-03-01 14:05:09 +0000") } });
    EXPECT_TRUE(clips.contains(QStringLiteral(R"("name":"a\"b\nc.mov")"))) << clips.toStdString();
    EXPECT_EQ(ClipScan::describeClips({}), QStringLiteral("[]"));
}

}
