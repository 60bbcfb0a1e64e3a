#include "ClipFixtures.h"
#include "LoggerWindow.h"

#include "clips/ClipTableText.h"
#include "core/DateFormatter.h"
#include "support/LocalTimeZone.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QThread>
#include <QTimeZone>

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using ClipFixtures::Kind;

QDateTime utc(int year, int month, int day, int hour, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

// A clip as a camera writes it into `card`: its recording start and start timecode in its header.
QString cameraClip(
    const QTemporaryDir& card, const char* name, const QDateTime& recorded, const char* timecode)
{
    return ClipFixtures::make(Kind::ProResMov, card.filePath(QLatin1String(name)),
        { u"-metadata"_s, u"creation_time="_s + recorded.toString(Qt::ISODate), u"-timecode"_s,
            QLatin1String(timecode) });
}

// Offloads a clip the way loggers do: the copy keeps the modification time but gets a new birth time.
void offload(const QString& clip, const QString& folder)
{
    EXPECT_EQ(QProcess::execute(u"cp"_s, { u"-a"_s, clip, folder }), 0);
}

QString shown(const Logger& logger, int row, int column)
{
    const QModelIndex source = logger.delegate.clipModel.index(row, column);
    return logger.delegate.clipSortModel.mapFromSource(source).data().toString();
}

QString birthTimeText(const QString& path)
{
    struct statx status = {};
    EXPECT_EQ(::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0, STATX_BTIME, &status), 0);
    return DateFormatter::standardDescription(
        QDateTime::fromSecsSinceEpoch(status.stx_btime.tv_sec, QTimeZone::utc()));
}

// Holds the metadata workers (never the main thread's own reads) until opened; once open it stays open.
struct Gate
{
    QSemaphore semaphore;

    void close(AppDelegate& delegate)
    {
        delegate.metadataReader.setReadFunction([this](const QString& path) {
            if (QThread::currentThread() != qApp->thread()) {
                semaphore.acquire();
                semaphore.release();
            }
            return ClipMetadata::readHeader(path);
        });
    }
    void open() { semaphore.release(); }
};

TEST(ClipMetadataTable, OffloadedClipKeepsItsRecordingStartInTableAttributeCookieAndPlayer)
{
    const LocalTimeZone local("Asia/Kolkata");
    Logger logger { { "B001C001.mp4", Kind::H264Mp4 } }; // a clip that carries no date
    QTemporaryDir card;
    const QDateTime recorded = utc(2016, 3, 1, 14, 5, 9);
    offload(cameraClip(card, "A001C001.MOV", recorded, "14:05:09:00"), logger.folder.path());
    logger.scan();
    ASSERT_TRUE(logger.waitForMetadata());

    const int camera = logger.row(u"A001C001.MOV"_s), plain = logger.row(u"B001C001.mp4"_s);
    const QString recordedText = u"2016-03-01 14:05:09 +0000"_s;
    EXPECT_EQ(logger.delegate.assets[camera].created(), recordedText);
    EXPECT_EQ(logger.delegate.clipModel.dateSource(camera), RecordingStart::Source::Clip);
    EXPECT_EQ(shown(logger, camera, ClipModel::Start), u"2016-03-01 19:35:09"_s);
    EXPECT_EQ(shown(logger, camera, ClipModel::Duration), u"00:00:01:00"_s);
    EXPECT_EQ(shown(logger, camera, ClipModel::StartTimecode), u"14:05:09:00"_s);
    EXPECT_EQ(shown(logger, camera, ClipModel::Format), u"ProRes 64×36 25 fps"_s);
    // The clip without a date of its own falls back to its file's birth time.
    EXPECT_EQ(logger.delegate.assets[plain].created(), birthTimeText(logger.path("B001C001.mp4")));
    EXPECT_EQ(logger.delegate.clipModel.dateSource(plain), RecordingStart::Source::BirthTime);
    EXPECT_EQ(shown(logger, plain, ClipModel::StartTimecode), QString());

    const double cookie = cookieSecondsOf([&] { logger.select(camera); });
    EXPECT_EQ(logger.delegate.mediaCreatedTime, recordedText);
    EXPECT_EQ(storedAttribute(logger.path("A001C001.MOV")), recordedText);
    EXPECT_NEAR(cookie, double(recorded.secsTo(QDateTime::currentDateTimeUtc())), 2.0);
    ASSERT_TRUE(logger.waitUntilOpened());
    logger.player()->seek(0.52);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return logger.delegate.playerView->sourceTimecodeText() == u"14:05:09:13"_s; }, loadLimit))
        << logger.delegate.playerView->sourceTimecodeText().toStdString();

    logger.select(plain);
    EXPECT_EQ(logger.delegate.playerView->sourceTimecodeText(), QString());
}

TEST(ClipMetadataTable, SortsNaturallyByNameOrByAnyColumnAndTheMarkAndKeysFollow)
{
    Logger logger {};
    QTemporaryDir card;
    offload(cameraClip(card, "A001C10.MOV", utc(2016, 3, 1, 10), "10:00:00:00"), logger.folder.path());
    offload(cameraClip(card, "A001C2.MOV", utc(2016, 3, 1, 12), "12:00:00:00"), logger.folder.path());
    offload(cameraClip(card, "a001c1.MOV", utc(2016, 3, 1, 11), "11:00:00:00"), logger.folder.path());
    logger.scan();
    EXPECT_EQ(logger.shownNames(), (QStringList { u"a001c1.MOV"_s, u"A001C2.MOV"_s, u"A001C10.MOV"_s }));
    ASSERT_TRUE(logger.waitForMetadata());

    const int loaded = logger.row(u"A001C2.MOV"_s);
    logger.select(loaded);
    QHeaderView* header = logger.table()->horizontalHeader();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                header->height() / 2));
    };
    const struct
    {
        int column;
        QStringList order;
    } sorts[] = {
        { ClipModel::Start, { u"A001C10.MOV"_s, u"a001c1.MOV"_s, u"A001C2.MOV"_s } },
        { ClipModel::Start,
            { u"A001C2.MOV"_s, u"a001c1.MOV"_s, u"A001C10.MOV"_s } }, // clicked again: descending
        { ClipModel::StartTimecode, { u"A001C10.MOV"_s, u"a001c1.MOV"_s, u"A001C2.MOV"_s } },
        { ClipModel::Name, { u"a001c1.MOV"_s, u"A001C2.MOV"_s, u"A001C10.MOV"_s } },
    };
    for (const auto& [column, order] : sorts) {
        clickHeader(column);
        EXPECT_EQ(logger.shownNames(), order) << column;
        // The mark sits on the loaded clip's row wherever the sort put it.
        const int markedRow = logger.delegate.clipSortModel.viewRow(loaded);
        EXPECT_EQ(logger.shownNames().value(markedRow), u"A001C2.MOV"_s);
        EXPECT_EQ(logger.table()->model()->index(markedRow, 0).data(ClipModel::markRole).toInt(),
            int(ClipModel::Mark::Unavailable));
        EXPECT_EQ(logger.delegate.loadedAssetIndex, loaded);
    }

    // ↑ and ↓ move through the rows as they are shown. Each clip they load takes the focus to the
    // player, where the same keys set the volume: the logger comes back to the table for the next.
    const auto pressInTable = [&](Qt::Key key) {
        logger.table()->setFocus();
        QTest::keyClick(logger.table(), key);
    };
    pressInTable(Qt::Key_Up);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, logger.row(u"a001c1.MOV"_s));
    pressInTable(Qt::Key_Down);
    pressInTable(Qt::Key_Down);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, logger.row(u"A001C10.MOV"_s));
    logger.expectMarks(logger.row(u"A001C10.MOV"_s));
}

TEST(ClipMetadataTable, ClipChosenBeforeItsMetadataArrivesIsReadAtOnce)
{
    Gate gate; // outlives the window, whose workers it holds
    Logger logger {};
    gate.close(logger.delegate);
    const auto opened = qScopeGuard([&] { gate.open(); });
    QTemporaryDir card;
    offload(cameraClip(card, "x.mov", utc(2016, 3, 1, 14, 5, 9), "14:05:09:00"), logger.folder.path());
    offload(cameraClip(card, "y.mov", utc(2017, 6, 2, 8), "08:00:00:00"), logger.folder.path());
    logger.scan();
    const int x = logger.row(u"x.mov"_s), y = logger.row(u"y.mov"_s);
    ASSERT_TRUE(logger.delegate.clipModel.isMetadataPending(x));

    logger.select(x);
    EXPECT_FALSE(logger.delegate.clipModel.isMetadataPending(x));
    EXPECT_TRUE(logger.delegate.clipModel.isMetadataPending(y));
    EXPECT_EQ(logger.delegate.mediaCreatedTime, u"2016-03-01 14:05:09 +0000"_s);
    EXPECT_EQ(storedAttribute(logger.path("x.mov")), u"2016-03-01 14:05:09 +0000"_s);

    gate.open();
    ASSERT_TRUE(logger.waitForMetadata());
    EXPECT_EQ(logger.delegate.assets[y].created(), u"2017-06-02 08:00:00 +0000"_s);
    EXPECT_EQ(logger.delegate.assets[x].created(), u"2016-03-01 14:05:09 +0000"_s);
    EXPECT_EQ(logger.delegate.loadedAssetIndex, x);
    logger.expectMarks(x);
}

TEST(ClipMetadataTable, NewFolderDropsPendingAnswersAndADeletedClipKeepsItsFileDate)
{
    Gate gate; // outlives the window, whose workers it holds
    Logger logger {};
    gate.close(logger.delegate);
    const auto opened = qScopeGuard([&] { gate.open(); });
    QTemporaryDir card, second;
    for (const char* name : { "a1.mov", "a2.mov", "a3.mov" })
        offload(cameraClip(card, name, utc(2001, 1, 1, 9), "09:00:00:00"), logger.folder.path());
    for (const char* name : { "b1.mov", "b2.mov" })
        offload(cameraClip(card, name, utc(2002, 2, 2, 9), "09:00:00:00"), second.path());
    logger.scan();
    logger.choose(second.path());
    ASSERT_EQ(logger.delegate.assets.size(), 2);
    const QString scanned = logger.delegate.assets[logger.row(u"b2.mov"_s)].created();
    ASSERT_TRUE(QFile::remove(second.filePath(u"b2.mov"_s)));

    gate.open();
    ASSERT_TRUE(logger.waitForMetadata());
    QTest::qWait(200); // room for a stale answer of the first folder to arrive, were any left
    const int b1 = logger.row(u"b1.mov"_s), b2 = logger.row(u"b2.mov"_s);
    EXPECT_EQ(logger.delegate.assets[b1].created(), u"2002-02-02 09:00:00 +0000"_s);
    EXPECT_EQ(logger.delegate.assets[b2].created(), scanned);
    EXPECT_FALSE(logger.delegate.clipModel.metadata(b2));
    EXPECT_EQ(logger.delegate.clipModel.failure(b2), ClipInput::Failure::Unreadable);
    EXPECT_EQ(shown(logger, b2, ClipModel::Format),
        ClipTableText::failure(ClipInput::Failure::Unreadable, u"b2.mov"_s));
    EXPECT_NE(logger.delegate.clipModel.dateSource(b2), RecordingStart::Source::Clip);
}

TEST(ClipMetadataTable, AFileThatIsNoClipOfTheTypeItsNameSaysShowsItAndIsNeverPlayed)
{
    Logger logger { { "A001.mov", Kind::ProResMov }, { "A002.MOV", Kind::Mpeg2Mxf } };
    QFile session(logger.path("A003.mov"));
    ASSERT_TRUE(session.open(QIODevice::WriteOnly));
    session.write("v=0\no=- 0 0 IN IP4 127.0.0.1\ns=A003\nc=IN IP4 239.255.42.42/16\nt=0 0\n"
                  "m=video 5004 RTP/AVP 96\na=rtpmap:96 H264/90000\n");
    session.close();
    logger.scan();
    ASSERT_TRUE(logger.waitForMetadata());
    const ClipModel& model = logger.delegate.clipModel;
    const int clip = logger.row(u"A001.mov"_s);
    EXPECT_FALSE(model.failure(clip));
    EXPECT_EQ(shown(logger, clip, ClipModel::Format), u"ProRes 64×36 25 fps"_s);

    for (const QString& name : { u"A002.MOV"_s, u"A003.mov"_s }) {
        SCOPED_TRACE(name.toStdString());
        const int row = logger.row(name);
        EXPECT_EQ(model.failure(row), ClipInput::Failure::NotItsType);
        EXPECT_EQ(shown(logger, row, ClipModel::Format), u"Not a "_s + name.mid(4) + u" clip"_s);
        EXPECT_FALSE(model.index(row, ClipModel::Name).data(Qt::DecorationRole).value<QIcon>().isNull());
        logger.select(row);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return logger.player() && logger.player()->failure(); }, loadLimit));
        EXPECT_TRUE(logger.delegate.playerView->messageText().contains(u"cannot be played"_s))
            << logger.delegate.playerView->messageText().toStdString();
    }
    // A clip selected after them plays as ever, and they keep their own mark.
    logger.select(clip);
    EXPECT_TRUE(logger.waitUntilOpened());
    EXPECT_FALSE(logger.player()->failure());
    EXPECT_EQ(model.mark(clip), ClipModel::Mark::Unavailable);
    EXPECT_FALSE(model.index(logger.row(u"A003.mov"_s), ClipModel::Name)
                     .data(Qt::DecorationRole)
                     .value<QIcon>()
                     .isNull());
}

}
