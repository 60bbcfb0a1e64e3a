#include "app/SingleInstance.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// Real tapeScribe processes sharing one private runtime folder, as two starts in one desktop session do.
class SingleInstanceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        ASSERT_FALSE(TestEnvironment::builtProgram(QStringLiteral("tapescribe")).isEmpty());
        QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override
    {
        for (auto& process : processes) {
            process->kill();
            process->waitForFinished(10000);
        }
    }

    QProcess* start(const QStringList& arguments = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(TestEnvironment::builtProgram(QStringLiteral("tapescribe")), arguments);
        processes.push_back(std::move(process));
        return processes.back().get();
    }

    // True once a running instance accepts connections on the socket.
    bool instanceAnswers(int timeoutMs) const
    {
        return QTest::qWaitFor(
            [&] {
                QLocalSocket socket;
                socket.connectToServer(home.filePath(QStringLiteral("tapescribe.socket")));
                return socket.waitForConnected(500);
            },
            timeoutMs);
    }

    QTemporaryDir home;
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SingleInstanceTest, SecondStartHandsOverAndExitsWithStatusZero)
{
    QProcess* first = start();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(instanceAnswers(60000));

    QProcess* second = start({ QStringLiteral("some/clip.mov") });
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, InstanceThatDiedLeavesNothingThatBlocksTheNextStart)
{
    QProcess* first = start();
    ASSERT_TRUE(first->waitForStarted());
    ASSERT_TRUE(instanceAnswers(60000));
    first->kill(); // no chance to remove its lock or its socket
    ASSERT_TRUE(first->waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(home.filePath(QStringLiteral("tapescribe.socket.lock"))));

    QProcess* next = start();
    ASSERT_TRUE(next->waitForStarted());
    ASSERT_TRUE(instanceAnswers(60000));
    EXPECT_EQ(next->state(), QProcess::Running);
}

// The move's switch to a copy that runs elsewhere: this process lets go of being the instance before it
// starts that copy, which then does not hand over to this process (about to end) but becomes the instance.
TEST_F(SingleInstanceTest, AnInstanceThatLetsGoLeavesTheNextStartToBeTheInstance)
{
    SingleInstance here(home.filePath(QStringLiteral("tapescribe.socket")));
    ASSERT_EQ(here.claimOrHandOver({}), SingleInstance::Outcome::Claimed);
    here.release();

    QProcess* next = start();
    ASSERT_TRUE(next->waitForStarted());
    // The lock file names the process that holds it.
    const auto lockHolder = [this] {
        QFile lock(home.filePath(QStringLiteral("tapescribe.socket.lock")));
        return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed().toLongLong() : 0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return lockHolder() == next->processId(); }, 60000));
    EXPECT_TRUE(instanceAnswers(60000));
    EXPECT_EQ(next->state(), QProcess::Running);
}

// The paths of a second start reach the running instance whole and absolute, whatever they hold.
TEST_F(SingleInstanceTest, ThePathsOfASecondStartArriveAtTheRunningInstance)
{
    SingleInstance running(home.filePath(QStringLiteral("tapescribe.socket")));
    ASSERT_EQ(running.claimOrHandOver({}), SingleInstance::Outcome::Claimed);
    QSignalSpy requests(&running, &SingleInstance::activationRequested);

    const QStringList paths { QStringLiteral("card/A001C002.mov"), QStringLiteral("/media/Card 2/Ü \"x\".mxf"),
        QStringLiteral("line\nbreak.mp4") };
    QProcess* second = start(paths);
    ASSERT_TRUE(requests.wait(60000));
    EXPECT_EQ(requests.at(0).at(0).toStringList(),
        (QStringList { QDir::current().absoluteFilePath(paths[0]), paths[1],
            QDir::current().absoluteFilePath(paths[2]) }));
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 0);
}

}
