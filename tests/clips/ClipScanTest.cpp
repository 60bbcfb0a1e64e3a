#include "clips/ClipScan.h"
#include "core/DateFormatter.h"
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

using namespace Qt::StringLiterals;

namespace {

const QStringList accepted = TypeIdentifiers::playableTypes({ u"mxf"_s, u"mov,mp4,m4a,3gp,3g2,mj2"_s });

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
    const QStringList clips { u"A001.MXF"_s, u"b.mov"_s, u"C.Mp4"_s };
    for (const QString& name : clips + QStringList { u"notes.txt"_s })
        writeFile(QFile::encodeName(folder.filePath(name)), "x");

    const Scan result = scan(folder.path());
    EXPECT_FALSE(result.outcome.listingFailure);
    EXPECT_EQ(names(result.outcome.clips), listingOrder(folder.path(), clips));
    for (const Clip& clip : result.outcome.clips) {
        EXPECT_EQ(clip.path, folder.path() + u'/' + clip.name);
        // This file system keeps birth times: the record's time is the file's birth time, written in UTC
        // in the form the date formatter reads.
        EXPECT_EQ(clip.start.source, RecordingStart::Source::BirthTime);
        struct statx status
        {
        };
        ASSERT_EQ(::statx(AT_FDCWD, QFile::encodeName(clip.path).constData(), 0, STATX_BTIME, &status), 0);
        EXPECT_EQ(clip.created(),
            DateFormatter::standardDescription(
                QDateTime::fromSecsSinceEpoch(status.stx_btime.tv_sec, QTimeZone::utc())));
    }

    // The diagnostic lines, in order: the directory test, the folder, then each entry.
    EXPECT_EQ(result.console.mid(0, 3), (QStringList { u"success? true"_s, u"FOLDER"_s, folder.path() }));
    const qsizetype notes = result.console.indexOf(folder.filePath(u"notes.txt"_s));
    EXPECT_EQ(result.console.value(notes + 1), u"success? true"_s);
    EXPECT_FALSE(result.console.value(notes + 2).startsWith(u"can play this"_s));
    const qsizetype mxf = result.console.indexOf(folder.filePath(u"A001.MXF"_s));
    EXPECT_EQ(result.console.value(mxf + 2), u"can play this org.smpte.mxf item"_s);
    EXPECT_EQ(result.console.count(u"can play this org.smpte.mxf item"_s), 1);
}

TEST(ClipScan, SingleFileOrFolderWithOneClipIsOneRecord)
{
    QTemporaryDir folder;
    writeFile(QFile::encodeName(folder.filePath(u"one.mov"_s)), "x");
    QDir(folder.path()).mkdir(u"sub"_s);
    Scan result = scan(folder.path());
    EXPECT_EQ(names(result.outcome.clips), QStringList { u"one.mov"_s });

    writeFile(QFile::encodeName(folder.filePath(u"other.mov"_s)), "x");
    result = scan(folder.filePath(u"one.mov"_s));
    EXPECT_EQ(names(result.outcome.clips), QStringList { u"one.mov"_s });
    EXPECT_EQ(result.outcome.clips.value(0).path, folder.filePath(u"one.mov"_s));
    EXPECT_EQ(result.console.mid(0, 5),
        (QStringList { u"success? true"_s, u"MOV"_s, folder.path(), folder.filePath(u"one.mov"_s),
            u"success? true"_s }));

    // A chosen file that does not exist fails the directory test and gives no record.
    result = scan(folder.filePath(u"missing.mov"_s));
    EXPECT_TRUE(result.outcome.clips.isEmpty());
    EXPECT_EQ(result.console.mid(0, 2), (QStringList { u"success? false"_s, u"MOV"_s }));
}

TEST(ClipScan, RootFolderPathsStartWithTwoSlashes)
{
    const Scan result = scan(u"/"_s);
    ASSERT_GE(result.console.size(), 4);
    EXPECT_EQ(result.console.mid(0, 3), (QStringList { u"success? true"_s, u"FOLDER"_s, u"/"_s }));
    EXPECT_TRUE(result.console.contains(u"//tmp"_s));
    for (const Clip& clip : result.outcome.clips)
        EXPECT_TRUE(clip.path.startsWith(u"//"_s)) << clip.path.toStdString();
}

TEST(ClipScan, BadEntriesYieldExactlyTheRecordsTheRulesGive)
{
    QTemporaryDir temporary;
    const QByteArray folder = QFile::encodeName(temporary.path());
    const QByteArray quoted = "it's \"quoted\".mp4";
    const QByteArray lineBreak = "line\nbreak.mov";
    const QByteArray notUtf8 = "bad\xff\xfe.mov"; // no text path reaches it
    for (const QByteArray& name :
        { quoted, lineBreak, QByteArray(".hidden.mov"), QByteArray("locked.mov"), notUtf8 })
        writeFile(folder + '/' + name, "x");
    writeFile(folder + "/empty.mov");
    writeFile(folder + "/corrupt.mxf", QByteArray(4096, '\x5a'));
    ::chmod(folder + "/locked.mov", 0);
    // Nor can the temporary folder's own clean-up reach it.
    const auto removeNotUtf8 = qScopeGuard([&] { ::unlink(folder + '/' + notUtf8); });
    ASSERT_EQ(::mkfifo(folder + "/pipe.mov", 0644), 0); // opening it would block the scan for ever
    ASSERT_EQ(::symlink("nowhere.mov", folder + "/broken.mov"), 0);
    ASSERT_EQ(::symlink("empty.mov", folder + "/link.mov"), 0);
    ASSERT_EQ(::mkdir(folder + "/CARD.MXF", 0755), 0);
    writeFile(folder + "/CARD.MXF/inside.mxf", "x");
    ASSERT_EQ(::mkdir(folder + "/clips", 0755), 0);
    for (int i = 0; i < 20; ++i)
        writeFile(folder + "/clips/" + QByteArray::number(i) + ".mov", "x");

    const Scan result = scan(temporary.path());
    const QStringList expected { QString::fromUtf8(quoted), QString::fromUtf8(lineBreak), u".hidden.mov"_s,
        u"empty.mov"_s, u"corrupt.mxf"_s, u"locked.mov"_s, u"link.mov"_s };
    EXPECT_EQ(names(result.outcome.clips), listingOrder(temporary.path(), expected));
    for (const Clip& clip : result.outcome.clips)
        EXPECT_EQ(clip.path, temporary.path() + u'/' + clip.name);

    // The broken link and the undecodable name are read and fail; the FIFO and folders are read and refused.
    const qsizetype broken = result.console.indexOf(temporary.filePath(u"broken.mov"_s));
    EXPECT_EQ(result.console.value(broken + 1), u"success? false"_s);
    EXPECT_EQ(result.console.count(u"success? false"_s), 2);
    const qsizetype fifo = result.console.indexOf(temporary.filePath(u"pipe.mov"_s));
    EXPECT_EQ(result.console.value(fifo + 1), u"success? true"_s);
    EXPECT_FALSE(result.console.value(fifo + 2).startsWith(u"can play"_s));
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
    EXPECT_EQ(ClipScan::describeTypes({ u"org.smpte.mxf"_s, u"public.mpeg-4"_s }),
        uR"(["org.smpte.mxf","public.mpeg-4"])"_s);
    const QDateTime recorded(QDate(2016, 3, 1), QTime(14, 5, 9), QTimeZone::utc());
    const QString clips = ClipScan::describeClips(
        { Clip { u"a\"b\nc.mov"_s, u"/x/a\"b\nc.mov"_s, { recorded, RecordingStart::Source::Clip } } });
    EXPECT_TRUE(clips.contains(uR"("name":"a\"b\nc.mov")"_s)) << clips.toStdString();
    EXPECT_TRUE(clips.contains(uR"("created":"2016-03-01 14:05:09 +0000")"_s)) << clips.toStdString();
    EXPECT_EQ(ClipScan::describeClips({}), u"[]"_s);
}

}
