#include "LogFormSession.h"

#include "clips/ClipFixtures.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QMessageBox>
#include <QLabel>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The logger, signed in on the log form with a clip loaded, stores notes and sees them on the clip.
class NotesOnClip : public LogFormSession
{
protected:
    void SetUp() override
    {
        LogFormSession::SetUp();
        ASSERT_TRUE(signsInAs(u"jsmith"_s, u"s3cret"_s));
        // Recorded an hour ago, as the camera's own date says: the notes are placed exactly.
        const QString recorded = QDateTime::currentDateTimeUtc().addSecs(-3600).toString(Qt::ISODate);
        ClipFixtures::make(ClipFixtures::Kind::LongMp4, folder.filePath(u"A001C007.MP4"_s),
            { u"-metadata"_s, u"creation_time="_s + recorded });
        delegate.runOpenPanel = [this](const QStringList&) { return std::optional<QString>(folder.path()); };
        delegate.showOpenPanel();
        ASSERT_EQ(delegate.loadedAssetIndex, 0);
        ASSERT_TRUE(QTest::qWaitFor([this] { return player() && player()->duration() > 0; }, pageLimitMs));
    }

    MpvPlayer* player() const { return delegate.playerView->player(); }
    QAbstractItemModel* notesList() const { return delegate.notesView->model(); }
    QString listedText(int row) const { return notesList()->index(row, 2).data().toString(); }

    // Moves the play head, and gives the form the clock of that frame at once.
    void playHeadAt(double seconds)
    {
        player()->seek(seconds);
        ASSERT_TRUE(QTest::qWaitFor([&] { return std::abs(player()->currentTime() - seconds) < 0.01; }, pageLimitMs));
        delegate.setTimeOffsetCookie();
    }

    int listedRow(const QString& text) const
    {
        for (int row = 0; row < notesList()->rowCount(); ++row)
            if (listedText(row) == text)
                return row;
        return -1;
    }

    QTemporaryDir folder;
};

TEST_F(NotesOnClip, AStoredNoteBecomesATickAndAnEntryThatLeadsBackToItsFrame)
{
    const qsizetype ticksBefore = delegate.playerView->noteMarks().size();
    playHeadAt(20.0);
    const QString text = u"boom dips into frame — <take 3> & \"clean\""_s;
    storeNote(text);

    // Within the two seconds a logger would wait for it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedRow(text) >= 0; }, 3000));
    const QList<double> ticks = delegate.playerView->noteMarks();
    ASSERT_EQ(ticks.size(), ticksBefore + 1);
    // The form's clock runs in whole seconds: the note is on the frame of the second it was stored in.
    const int row = listedRow(text);
    const double tick = ticks.at(row);
    EXPECT_NEAR(tick, 20.0, 1.0);
    EXPECT_EQ(notesList()->index(row, 0).data().toString().size(), 11) << "a source timecode";
    EXPECT_TRUE(delegate.notesLabel->text().contains(u"on this clip"_s)) << delegate.notesLabel->text().toStdString();

    // Elsewhere in the clip, choosing the note brings the play head back to its frame.
    playHeadAt(50.0);
    delegate.notesView->selectRow(row);
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(player()->currentTime() - tick) < 0.01; }, pageLimitMs))
        << player()->currentTime() << " instead of " << tick;
}

TEST_F(NotesOnClip, TheExportPutsTheNoteOnItsClipAndCountsWhatFellOutside)
{
    playHeadAt(30.0);
    storeNote(u"pan left, \"hold\""_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedRow(u"pan left, \"hold\""_s) >= 0; }, 3000));

    QString proposed;
    const QString exported = folder.filePath(u"markers.csv"_s);
    delegate.runExportPanel = [&](const QString& path, MarkerFormat) {
        proposed = path;
        return std::optional(AppDelegate::MarkerExportChoice { exported, MarkerFormat::Csv });
    };
    QStringList alerts;
    delegate.runAlert = [&](QMessageBox& alert) { alerts.append(alert.text()); };
    delegate.exportMarkers();

    // In the clips' folder, under the folder's name.
    EXPECT_EQ(proposed, folder.filePath(QFileInfo(folder.path()).fileName() + u".fcpxml"_s));
    QFile file(exported);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(csv.contains(u"A001C007.MP4"_s)) << csv.toStdString();
    EXPECT_TRUE(csv.contains(u"\"pan left, \"\"hold\"\"\""_s)) << csv.toStdString();
    EXPECT_TRUE(delegate.label->text().startsWith(u"Wrote "_s)) << delegate.label->text().toStdString();
    // The notes of the other tests of this account were written against no clip of this folder.
    EXPECT_EQ(alerts.isEmpty(), !delegate.label->text().contains(u"outside every clip"_s));
}

TEST_F(NotesOnClip, SigningOutShowsNoNotes)
{
    playHeadAt(10.0);
    storeNote(u"slate"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return listedRow(u"slate"_s) >= 0; }, 3000));

    delegate.loadInWebView(QUrl(formPage).resolved(QUrl(u"/index.php/users/logout"_s)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return notesList()->rowCount() == 0; }, pageLimitMs));
    EXPECT_TRUE(delegate.playerView->noteMarks().isEmpty());
    EXPECT_TRUE(delegate.notesLabel->text().contains(u"Sign in"_s)) << delegate.notesLabel->text().toStdString();
}

}

namespace {

// A log service that has no notes for programs: the form at an address whose folder holds no notes.
class NotesWithoutRoute : public LogFormSession
{
};

TEST_F(NotesWithoutRoute, LeaveTheListAndTheExportUnavailableAndSaySo)
{
    delegate.formURL = QUrl(formPage).resolved(QUrl(u"/older/logger/form"_s));
    delegate.loadInWebView(delegate.formURL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate.notesOutcome == NotesFetch::Outcome::NoRoute; }, pageLimitMs));
    EXPECT_FALSE(delegate.exportMarkersAction->isEnabled());
    EXPECT_TRUE(delegate.notesLabel->text().contains(u"cannot be exported"_s)) << delegate.notesLabel->text().toStdString();
}

}
