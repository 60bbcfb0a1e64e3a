#include "logservice/PasswordChecks.h"
#include "logservice/SignInThrottle.h"

#include <gtest/gtest.h>

#include <QSemaphore>
#include <QTest>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

// Far from zero, so that "forgotten" is measured from real failures only.
constexpr qint64 start = 1'000'000'000;

TEST(SignInThrottle, DelaysGrowPerNameAndPerClientAndNeverLockTheAccount)
{
    SignInThrottle throttle;
    const auto failTimes = [&](int count, const QString& name, const QString& client) {
        for (int i = 0; i < count; ++i)
            throttle.failed(name, client, start);
    };
    failTimes(SignInThrottle::freeFailures - 1, "ann", "10.0.0.1");
    EXPECT_EQ(throttle.delay("ann", "10.0.0.1", start), 0ms);
    failTimes(1, "ann", "10.0.0.2");
    // The name has had its free failures; a fresh client guessing it waits as well.
    const std::tuple<QString, QString, std::chrono::milliseconds> afterFive[] {
        { "ann", "10.0.0.9", SignInThrottle::firstDelay },
        { "bob", "10.0.0.1", 0ms },
        { "bob", "10.0.0.9", 0ms },
    };
    for (const auto& [name, client, delay] : afterFive)
        EXPECT_EQ(throttle.delay(name, client, start), delay) << qPrintable(name + ' ' + client);

    failTimes(2, "bob", "10.0.0.1");
    EXPECT_EQ(throttle.delay("carl", "10.0.0.1", start), 2 * SignInThrottle::firstDelay)
        << "the client has failed seven times, whatever the names";
    failTimes(40, "ann", "10.0.0.3");
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", start), SignInThrottle::longestDelay);

    const qint64 later = start + SignInThrottle::forgetAfter.count();
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", later - 1), SignInThrottle::longestDelay);
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", later), 0ms);
    throttle.succeeded("bob", "10.0.0.1");
    EXPECT_EQ(throttle.delay("bob", "10.0.0.1", start), 0ms);
}

TEST(SignInThrottle, ForgetsTheOldestWhenItFollowsTooMany)
{
    SignInThrottle throttle;
    for (int i = 0; i < SignInThrottle::freeFailures; ++i)
        throttle.failed("ann", "10.0.0.1", start);
    for (qsizetype i = 0; i < SignInThrottle::maximumTracked; ++i)
        throttle.failed(QString::number(i), QString::number(i), start + 1);
    EXPECT_EQ(throttle.delay("ann", "10.0.0.1", start + 1), 0ms);
}

// The check runs on the worker: the service's thread goes on while a check is held up, and the answer
// comes back on the service's thread.
TEST(PasswordChecks, RunOffTheServiceThreadOneAtATimeAndSkipClientsThatLeft)
{
    QSemaphore release;
    std::atomic<int> running = 0;
    std::atomic<int> mostAtOnce = 0;
    PasswordChecks checks(
        [&](const QByteArray& password, const QString& stored) {
            mostAtOnce = std::max(mostAtOnce.load(), ++running);
            release.acquire();
            --running;
            return password == stored.toUtf8();
        },
        [] { return start; });

    QObject firstClient;
    auto leavingClient = std::make_unique<QObject>();
    QObject thirdClient;
    QList<QString> answers;
    checks.check("ann", "c", "pw", QString("pw"), &firstClient,
        [&](bool ok) { answers.append(ok ? "1 yes" : "1 no"); });
    checks.check("bob", "c", "pw", QString("other"), leavingClient.get(), [&](bool) { answers.append("2"); });
    checks.check("zed", "c", "pw", std::nullopt, &thirdClient,
        [&](bool ok) { answers.append(ok ? "3 yes" : "3 no"); });
    QCoreApplication::processEvents();
    EXPECT_TRUE(answers.isEmpty()) << "held up on the worker, while this thread runs on";
    leavingClient.reset();
    release.release(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.size() == 2; }, 30000));
    EXPECT_EQ(answers, (QList<QString> { "1 yes", "3 no" })) << "an unknown name never matches";
    EXPECT_EQ(mostAtOnce, 1);
}

}
