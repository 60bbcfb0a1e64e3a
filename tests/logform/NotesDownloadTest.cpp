#include "LogFormSession.h"

#include "logform/FormDownload.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The logger, signed in on the log form, downloads its notes.
class NotesDownload : public LogFormSession
{
protected:
    void SetUp() override
    {
        LogFormSession::SetUp();
        ASSERT_TRUE(signsInAs(u"jsmith"_s, u"s3cret"_s));
        delegate.runSavePanel = [this](const QString& proposed) {
            offered.append(proposed);
            return answer(proposed);
        };
    }

    // The logger presses the form's "Download CSV"; the save panel shows, and is answered.
    void pressDownload()
    {
        const qsizetype before = offered.size();
        evaluate(u"document.querySelector('a[href$=\"notes.csv\"]').click()"_s);
        ASSERT_TRUE(QTest::qWaitFor([&] { return offered.size() > before; }, pageLimitMs));
    }

    bool labelSays(const QString& text)
    {
        return QTest::qWaitFor([&] { return delegate.label->text() == text; }, pageLimitMs);
    }

    QString downloads() const { return QDir(home.path()).filePath(u"Downloads"_s); }

    std::function<std::optional<QString>(const QString& proposed)> answer;
    QStringList offered;
};

TEST_F(NotesDownload, TheNotesArriveAsAFileWhereTheLoggerSaysAndFailuresAreTold)
{
    storeNote(u"Take 3, \"clean\" – boom in"_s);

    // Saved where the panel proposed it: the downloads folder, under the service's name for it.
    answer = [](const QString& proposed) { return proposed; };
    pressDownload();
    const QString saved = QDir(downloads()).filePath(u"tapescribe-notes.csv"_s);
    EXPECT_EQ(offered.last(), saved);
    ASSERT_TRUE(labelSays(FormDownload::saved(saved))) << delegate.label->text().toStdString();
    const QByteArray csv = Files::contents(saved);
    EXPECT_TRUE(csv.startsWith("recorded_at,written_at,text\r\n")) << csv.toStdString();
    EXPECT_TRUE(csv.endsWith(",\"Take 3, \"\"clean\"\" – boom in\"\r\n")) << csv.toStdString();

    // Cancelled: nothing is written, and the label still tells of the last file.
    answer = [](const QString&) { return std::nullopt; };
    pressDownload();
    EXPECT_EQ(QDir(downloads()).entryList(QDir::Files), QStringList { u"tapescribe-notes.csv"_s });
    EXPECT_EQ(delegate.label->text(), FormDownload::saved(saved));

    // Elsewhere, under a name of the logger's, over a file that is there (the panel asked before).
    storeNote(u"second note"_s);
    const QString chosen = home.filePath(u"card A notes.csv"_s);
    QFile old(chosen);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    answer = [&](const QString&) { return chosen; };
    pressDownload();
    ASSERT_TRUE(labelSays(FormDownload::saved(chosen))) << delegate.label->text().toStdString();
    EXPECT_TRUE(Files::contents(chosen).contains("second note"));

    // A place where no file can be made: the label says so.
    const QString blocked = home.filePath(u"not a folder/notes.csv"_s);
    QFile blocker(home.filePath(u"not a folder"_s));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    answer = [&](const QString&) { return blocked; };
    pressDownload();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return delegate.label->text().startsWith(FormDownload::failed(blocked, QString())); },
        pageLimitMs))
        << delegate.label->text().toStdString();
    EXPECT_FALSE(QFile::exists(blocked));
}

}
