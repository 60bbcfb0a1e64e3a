#include "logservice/HttpListener.h"
#include "logservice/LogService.h"
#include "logservice/LogStore.h"
#include "logservice/PasswordChecks.h"

#include <gtest/gtest.h>

#include <QSemaphore>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <list>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr int waitMs = 30000;
const QByteArray wrongSignIn = "POST /users/login HTTP/1.1\r\nHost: x\r\n"
                               "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 26\r\n\r\n"
                               "identity=ann&password=nope";
const QByteArray signInPage = "GET /users/login HTTP/1.1\r\nHost: x\r\n\r\n";

// The service's pages behind a listener of its own in this thread, reached through real connections; the
// password checks are held up or let through by the test, and the limits are small.
class SignInFloodTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto opened = LogStore::open(directory.path());
        ASSERT_TRUE(opened) << qPrintable(opened.error());
        store = std::move(*opened);
        ASSERT_TRUE(store->setPassword(QStringLiteral("ann"), "ann's pw"));
    }

    void TearDown() override
    {
        release.release(1000);
        listener.reset();
    }

    void serve(const PasswordChecks::Limits& signInLimits, const ConnectionLimits& limits)
    {
        checks = std::make_unique<PasswordChecks>(
            [this](const QByteArray&, const QString&) {
                ++verified;
                if (holdChecks)
                    release.acquire();
                return false;
            },
            [] { return qint64(1'000'000'000); }, signInLimits);
        service
            = std::make_unique<LogService>(*store, *checks, [] { return QDateTime::currentDateTimeUtc(); });
        listener = std::make_unique<HttpListener>(
            [this](const HttpRequest& request, const HttpReply& reply) { service->respond(request, reply); },
            limits);
        listener->setSignInTest(&LogService::isSignIn);
        ASSERT_TRUE(listener->listen(QHostAddress::LocalHost, 0));
    }

    QTcpSocket& connection()
    {
        auto& socket = sockets.emplace_back();
        socket.connectToHost(QStringLiteral("127.0.0.1"), listener->serverPort());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }, waitMs));
        return socket;
    }

    // The status code of the answer that has come on `socket` by now, 0 for none yet, -1 when it closed
    // without one.
    static int statusSoFar(QTcpSocket& socket, QByteArray& received)
    {
        received += socket.readAll();
        if (received.contains("\r\n\r\n"))
            return received.mid(9, 3).toInt();
        return socket.state() == QAbstractSocket::UnconnectedState ? -1 : 0;
    }

    static int status(QTcpSocket& socket, const QByteArray& request)
    {
        socket.write(request);
        QByteArray received;
        int code = 0;
        return QTest::qWaitFor([&] { return (code = statusSoFar(socket, received)) != 0; }, waitMs) ? code
                                                                                                    : 0;
    }

    QTemporaryDir directory;
    std::unique_ptr<LogStore> store;
    QSemaphore release;
    std::atomic<bool> holdChecks = true;
    std::atomic<int> verified = 0;
    std::unique_ptr<PasswordChecks> checks;
    std::unique_ptr<LogService> service;
    std::unique_ptr<HttpListener> listener;
    std::list<QTcpSocket> sockets;
};

TEST_F(SignInFloodTest, SignInsThatWaitNeverTakeTheConnectionsThePagesNeed)
{
    serve({ .throttle = {}, .queue = { .waitingAtOnce = 4, .waitingPerClient = 4 } },
        { .maximumConnections = 8, .reservedForPages = 3 });
    for (int i = 0; i < 8; ++i)
        connection().write(wrongSignIn);
    // Four wait for their turn; the others are told at once to come back later.
    QList<int> refusals;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            refusals.clear();
            for (QTcpSocket& socket : sockets) {
                const QByteArray head = socket.peek(512);
                if (head.contains("\r\n\r\n"))
                    refusals.append(head.mid(9, 3).toInt());
            }
            return refusals.size() == 4;
        },
        waitMs));
    EXPECT_EQ(refusals, QList<int>(4, 429));
    for (QTcpSocket& socket : sockets) {
        const QByteArray head = socket.readAll();
        if (!head.isEmpty()) {
            EXPECT_TRUE(head.contains("\r\nRetry-After: 1\r\n")) << head.constData();
        }
    }
    ASSERT_EQ(listener->connectionCount(), 8);

    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(status(connection(), signInPage), 200) << "page request " << i;
    EXPECT_LE(listener->connectionCount(), 8);
    EXPECT_EQ(verified, 1) << "the first sign-in is still being checked";
}

// However many sign-ins the queue takes, they hold no more than their share of the connections: past it,
// the one that has waited longest gives its place to the newcomer.
TEST_F(SignInFloodTest, PastTheirShareWaitingSignInsMakeRoomForPages)
{
    serve({ .throttle = {}, .queue = { .waitingAtOnce = 10, .waitingPerClient = 10 } },
        { .maximumConnections = 4, .reservedForPages = 1 });
    for (int i = 0; i < 4; ++i)
        connection().write(wrongSignIn);
    ASSERT_TRUE(QTest::qWaitFor([&] { return verified == 1 && listener->signInCount() == 4; }, waitMs));
    QTcpSocket& oldest = sockets.front();
    EXPECT_EQ(status(connection(), signInPage), 200);
    EXPECT_EQ(status(oldest, {}), -1) << "the sign-in that waited longest made room";
    EXPECT_EQ(status(connection(), signInPage), 200) << "sign-ins are within their share again";
    EXPECT_EQ(listener->connectionCount(), 4);
}

TEST_F(SignInFloodTest, ParallelSignInsGetNoMoreVerdictsThanSerialOnes)
{
    holdChecks = false;
    serve({ .throttle = { .freeFailures = 2, .firstDelay = 1h, .longestDelay = 1h }, .queue = {} }, {});
    std::list<QTcpSocket*> attempts;
    for (int i = 0; i < 5; ++i) {
        QTcpSocket& socket = connection();
        socket.write(wrongSignIn);
        attempts.push_back(&socket);
    }
    QList<QByteArray> received(5);
    const auto answered = [&] {
        int count = 0;
        int i = 0;
        for (QTcpSocket* socket : attempts)
            count += statusSoFar(*socket, received[i++]) == 200;
        return count;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered() == 2; }, waitMs));
    QTest::qWait(200);
    EXPECT_EQ(answered(), 2) << "the third waits out the delay that the first two failures earned";
    EXPECT_EQ(verified, 2);
    EXPECT_EQ(status(connection(), signInPage), 200) << "pages go on meanwhile";
}

}
