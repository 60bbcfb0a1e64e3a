#include "logservice/PasswordChecks.h"
#include "logservice/SignInQueue.h"
#include "logservice/SignInThrottle.h"

#include <gtest/gtest.h>

#include <QSemaphore>
#include <QTest>

#include <chrono>
#include <list>
#include <memory>
#include <ranges>
#include <tuple>

using namespace std::chrono_literals;

namespace {

// Far from zero, so that "forgotten" is measured from real failures only.
constexpr qint64 start = 1'000'000'000;
const SignInThrottle::Limits limits;

TEST(SignInThrottle, DelaysGrowPerNameAndPerClientAndNeverLockTheAccount)
{
    SignInThrottle throttle;
    const auto failTimes = [&](int count, const QString& name, const QString& client) {
        for (int i = 0; i < count; ++i)
            throttle.failed(name, client, start);
    };
    failTimes(limits.freeFailures - 1, "ann", "10.0.0.1");
    EXPECT_EQ(throttle.delay("ann", "10.0.0.1", start), 0ms);
    failTimes(1, "ann", "10.0.0.2");
    // The name has had its free failures; a fresh client guessing it waits as well.
    const std::tuple<QString, QString, std::chrono::milliseconds> afterFive[] {
        { "ann", "10.0.0.9", limits.firstDelay },
        { "bob", "10.0.0.1", 0ms },
        { "bob", "10.0.0.9", 0ms },
    };
    for (const auto& [name, client, delay] : afterFive)
        EXPECT_EQ(throttle.delay(name, client, start), delay) << qPrintable(name + ' ' + client);

    failTimes(2, "bob", "10.0.0.1");
    EXPECT_EQ(throttle.delay("carl", "10.0.0.1", start), 2 * limits.firstDelay)
        << "the client has failed seven times, whatever the names";
    failTimes(40, "ann", "10.0.0.3");
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", start), limits.longestDelay);

    const qint64 later = start + limits.forgetAfter.count();
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", later - 1), limits.longestDelay);
    EXPECT_EQ(throttle.delay("ann", "10.0.0.4", later), 0ms);
    throttle.succeeded("bob", "10.0.0.1");
    EXPECT_EQ(throttle.delay("bob", "10.0.0.1", start), 0ms);
}

TEST(SignInThrottle, ForgetsTheOldestWhenItFollowsTooMany)
{
    SignInThrottle throttle;
    for (int i = 0; i < limits.freeFailures; ++i)
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

TEST(SignInQueue, OneAttemptPerNameAndPerClientIsUnderWayAndTheOthersWaitInTheirOrder)
{
    SignInQueue queue({ .waitingAtOnce = 10, .waitingPerClient = 10 });
    const auto arrive = [&](const QString& name, const QString& client) {
        return std::get<SignInQueue::Ticket>(queue.arrive(name, client));
    };
    const auto ann1 = arrive("ann", "10.0.0.1");
    const auto ann2 = arrive("ann", "10.0.0.2");
    const auto bob1 = arrive("bob", "10.0.0.1");
    const auto carl3 = arrive("carl", "10.0.0.3");
    EXPECT_EQ(queue.startNext(), ann1);
    EXPECT_EQ(queue.startNext(), carl3) << "ann and 10.0.0.1 are under way";
    EXPECT_EQ(queue.startNext(), std::nullopt);
    queue.leave(ann1);
    EXPECT_EQ(queue.startNext(), ann2) << "the one that came first";
    EXPECT_EQ(queue.startNext(), bob1);
    EXPECT_EQ(queue.startNext(), std::nullopt);
    EXPECT_EQ(queue.size(), 3);
}

TEST(SignInQueue, RefusesPastItsBoundsAndTakesAgainOnceAPlaceIsFree)
{
    SignInQueue queue({ .waitingAtOnce = 4, .waitingPerClient = 2 });
    using Refusal = SignInQueue::Refusal;
    const std::tuple<QString, QString, std::optional<Refusal>> arrivals[] {
        { "ann", "10.0.0.1", std::nullopt },
        { "bob", "10.0.0.1", std::nullopt },
        { "carl", "10.0.0.1", Refusal::ClientFull },
        { "ann", "10.0.0.2", std::nullopt },
        { "ann", "10.0.0.2", std::nullopt },
        { "dora", "10.0.0.3", Refusal::ServiceFull },
        { "ann", "10.0.0.1", Refusal::ClientFull },
    };
    std::optional<SignInQueue::Ticket> bobsTicket;
    for (const auto& [name, client, refusal] : arrivals) {
        const auto outcome = queue.arrive(name, client);
        if (refusal) {
            EXPECT_EQ(std::get_if<Refusal>(&outcome) ? std::optional(*std::get_if<Refusal>(&outcome))
                                                     : std::nullopt,
                refusal)
                << qPrintable(name + ' ' + client);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<SignInQueue::Ticket>(outcome)) << qPrintable(name + ' ' + client);
        if (name == "bob")
            bobsTicket = std::get<SignInQueue::Ticket>(outcome);
    }
    queue.leave(*bobsTicket);
    EXPECT_TRUE(std::holds_alternative<SignInQueue::Ticket>(queue.arrive("dora", "10.0.0.1")))
        << "a waiting attempt that left gave its place up";
    queue.leave(*bobsTicket);
    EXPECT_EQ(queue.size(), 4) << "leaving twice frees one place only";
}

// Parallel attempts cannot outrun the delay: each waits for the verdict of the one before it, and its delay
// counts that verdict.
TEST(PasswordChecks, ParallelAttemptsTakeTurnsAndEachWaitsOutTheDelayOfTheVerdictsBefore)
{
    std::atomic<int> verified = 0;
    PasswordChecks checks(
        [&](const QByteArray&, const QString&) {
            ++verified;
            return false;
        },
        [] { return start; },
        { .throttle = { .freeFailures = 2, .firstDelay = 1h, .longestDelay = 1h },
            .queue = { .waitingAtOnce = 10, .waitingPerClient = 4 } });
    std::list<QObject> clients(4);
    auto leaving = std::make_unique<QObject>();
    int verdicts = 0;
    const auto attempt = [&](QObject* client) {
        return checks.check("ann", "10.0.0.1", "guess", QString("pw"), client, [&](bool) { ++verdicts; });
    };
    for (QObject& client : clients | std::views::take(3))
        EXPECT_FALSE(attempt(&client));
    EXPECT_FALSE(attempt(leaving.get()));
    const auto busy = attempt(&clients.back());
    ASSERT_TRUE(busy) << "four wait already";
    EXPECT_EQ(busy->reason, SignInQueue::Refusal::ClientFull);
    EXPECT_EQ(busy->retryAfter, 1s) << "no delay yet: a second";
    leaving.reset();
    EXPECT_FALSE(attempt(&clients.back())) << "the client that left gave its place up";

    ASSERT_TRUE(QTest::qWaitFor([&] { return verdicts == 2; }, 30000));
    QTest::qWait(200);
    EXPECT_EQ(verified, 2) << "the third waits an hour after the second verdict";
    EXPECT_EQ(verdicts, 2);
    EXPECT_FALSE(attempt(&clients.front()));
    EXPECT_FALSE(attempt(&*std::next(clients.begin())));
    const auto later = attempt(&clients.front());
    ASSERT_TRUE(later);
    EXPECT_EQ(later->retryAfter, 3600s) << "a refused client learns how long the delay is";
}

}
