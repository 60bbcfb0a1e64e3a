#include "ClipFixtures.h"
#include "support/ConsoleLines.h"
#include "support/StandInTool.h"
#include "support/TestApplication.h"

#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "core/Platform.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

constexpr int loadLimit = 30'000;

// The recording start is stamped on a clip that lies on a file system which stopped answering, as a hung
// network mount does: the attribute tool never ends. The selection goes on after the tool's deadline, and
// the window with it.
TEST(ClipStamp, AnAttributeToolThatNeverEndsIsStoppedAtItsDeadlineAndTheWindowGoesOn)
{
    QTemporaryDir tools;
    const QString tool = tools.filePath(u"tapescribe-xattr"_s);
    ASSERT_TRUE(writeStandInTool(tool, u"echo $$ >> \"$0.runs\"\nsleep 600"_s));
    Platform::setHelperToolFolder(tools.path());

    TestApplication application;
    application.awake();
    ASSERT_TRUE(application.show());
    QTemporaryDir clips;
    ClipFixtures::copy(ClipFixtures::Kind::H264Mp4, clips.filePath(u"a.mp4"_s));
    AppDelegate& delegate = application.delegate;
    delegate.runOpenPanel = [&](const QStringList&) { return std::optional(clips.path()); };
    // While the stamp is waited for, the window's timers come round under the busy cursor: the window
    // paints and answers the desktop.
    int busyTicks = 0;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&busyTicks] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        busyTicks += cursor && cursor->shape() == Qt::BusyCursor;
    });
    watch.start();
    // A folder of one clip selects it at once, and the selection stamps it.
    const QStringList lines = consoleLinesOf([&] { delegate.showOpenPanel(); });
    watch.stop();
    Platform::setHelperToolFolder(QString());
    EXPECT_GE(busyTicks, 20) << "the window stood still while the tool was waited for";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    EXPECT_TRUE(lines.contains(u"runCommand: %1 did not finish within 5 s and was stopped"_s.arg(tool)))
        << lines.join(u'\n').toStdString();
    // Reading the stamp back would hang as long again: the tool ran once, and it is gone.
    QFile runs(tool + u".runs"_s);
    ASSERT_TRUE(runs.open(QIODevice::ReadOnly));
    const QList<QByteArray> pids = runs.readAll().split('\n');
    ASSERT_EQ(pids.size(), 2) << "one run and its line end";
    EXPECT_FALSE(QFile::exists(u"/proc/"_s + QString::fromLatin1(pids.first())));

    // The clip opens and plays from the keyboard.
    PlayerView* playerView = delegate.playerView;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return playerView->player() && playerView->player()->duration() > 0; }, loadLimit));
    QTest::keyClick(playerView, Qt::Key_L);
    EXPECT_TRUE(QTest::qWaitFor([&] { return playerView->player()->currentTime() > 0.2; }, loadLimit));
}

}
