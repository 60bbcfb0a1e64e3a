#include "logservice/HttpListener.h"
#include "logservice/ServiceCertificate.h"

#include <gtest/gtest.h>

#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr int waitMs = 30000;

// The listener under test runs in this thread: every wait turns the event loop, none blocks it.
class HttpListenerTest : public testing::Test
{
protected:
    void listen(const ConnectionLimits& limits, bool tls = false)
    {
        listener = std::make_unique<HttpListener>(
            [this](const HttpRequest& request, const HttpReply& reply) {
                if (request.path == "/hold")
                    held.append(reply);
                else
                    reply.send(HttpResponse::plainText(200, QStringLiteral("ok")));
            },
            limits);
        if (tls) {
            const auto certificate
                = loadOrCreateServiceCertificate(directory.path(), QStringLiteral("a.test"));
            ASSERT_TRUE(certificate);
            listener->useTls(certificate->certificate, certificate->privateKey);
        }
        ASSERT_TRUE(listener->listen(QHostAddress::LocalHost, 0));
    }

    std::unique_ptr<QTcpSocket> connection(bool tls = false)
    {
        std::unique_ptr<QTcpSocket> socket;
        if (tls) {
            auto encrypted = std::make_unique<QSslSocket>();
            encrypted->setPeerVerifyMode(QSslSocket::VerifyNone);
            encrypted->connectToHostEncrypted(QStringLiteral("127.0.0.1"), listener->serverPort());
            EXPECT_TRUE(QTest::qWaitFor([&] { return encrypted->isEncrypted(); }, waitMs));
            socket = std::move(encrypted);
        } else {
            socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QStringLiteral("127.0.0.1"), listener->serverPort());
            EXPECT_TRUE(
                QTest::qWaitFor([&] { return socket->state() == QAbstractSocket::ConnectedState; }, waitMs));
        }
        return socket;
    }

    // The status line's code of the answer that arrives for `request`; 0 when the connection ends first.
    static int status(QTcpSocket& socket, const QByteArray& request)
    {
        socket.write(request);
        QByteArray received;
        const bool ended = QTest::qWaitFor(
            [&] {
                received += socket.readAll();
                return received.contains("\r\n\r\n") || socket.state() == QAbstractSocket::UnconnectedState;
            },
            waitMs);
        return ended && received.startsWith("HTTP/1.1 ") ? received.mid(9, 3).toInt() : 0;
    }

    static bool closes(QTcpSocket& socket)
    {
        return QTest::qWaitFor(
            [&] {
                socket.readAll();
                return socket.state() == QAbstractSocket::UnconnectedState;
            },
            waitMs);
    }

    QTemporaryDir directory;
    QList<HttpReply> held;
    std::unique_ptr<HttpListener> listener;
};

TEST_F(HttpListenerTest, AStalledHandshakeIsDroppedAtItsDeadlineAndOthersGoOn)
{
    listen({ .handshakeDeadline = 300ms }, true);
    std::list<std::unique_ptr<QTcpSocket>> stalled;
    for (int i = 0; i < 40; ++i)
        stalled.push_back(connection());
    const auto client = connection(true);
    EXPECT_EQ(status(*client, "GET / HTTP/1.1\r\n\r\n"), 200);
    for (const auto& socket : stalled)
        EXPECT_TRUE(closes(*socket));
    EXPECT_EQ(status(*client, "GET / HTTP/1.1\r\n\r\n"), 200) << "the deadline ended with the handshake";
}

TEST_F(HttpListenerTest, ASilentClientIsClosedUnlessItWaitsForAnAnswer)
{
    listen({ .idleTimeout = 300ms });
    const auto waiting = connection();
    waiting->write("GET /hold HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.size() == 1; }, waitMs));
    const auto silent = connection();
    EXPECT_TRUE(closes(*silent));
    EXPECT_EQ(waiting->state(), QAbstractSocket::ConnectedState);
    held.first().send(HttpResponse::plainText(200, QStringLiteral("late")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return waiting->readAll().startsWith("HTTP/1.1 200"); }, waitMs));
    EXPECT_TRUE(closes(*waiting)) << "silent again after its answer";
}

TEST_F(HttpListenerTest, PastTheMostConnectionsTheLongestIdleMakesRoom)
{
    listen({ .maximumConnections = 3 });
    const auto busy = connection();
    busy->write("GET /hold HTTP/1.1\r\n\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.size() == 1; }, waitMs));
    // Each answer shows that the listener has taken the connection, in this order.
    const auto older = connection();
    ASSERT_EQ(status(*older, "GET / HTTP/1.1\r\n\r\n"), 200);
    const auto newer = connection();
    ASSERT_EQ(status(*newer, "GET / HTTP/1.1\r\n\r\n"), 200);
    const auto newest = connection();
    EXPECT_EQ(status(*newest, "GET / HTTP/1.1\r\n\r\n"), 200);
    EXPECT_TRUE(closes(*older));
    EXPECT_EQ(listener->connectionCount(), 3);
    EXPECT_EQ(status(*newer, "GET / HTTP/1.1\r\n\r\n"), 200);
    EXPECT_EQ(busy->state(), QAbstractSocket::ConnectedState) << "a connection waiting for its answer stays";

    // A connection that only holds a place goes before one that has been served, however young it is.
    const auto placeHolder = connection();
    EXPECT_TRUE(closes(*newest)) << "the longest idle of the served ones made room for it";
    const auto latest = connection();
    EXPECT_EQ(status(*latest, "GET / HTTP/1.1\r\n\r\n"), 200);
    EXPECT_TRUE(closes(*placeHolder));
    EXPECT_EQ(status(*newer, "GET / HTTP/1.1\r\n\r\n"), 200);
}

// Refused from the head alone: the client never sends the rest, and the answer comes all the same.
TEST_F(HttpListenerTest, OversizedHeadersAndBodiesAreRefusedBeforeTheyAreSent)
{
    listen({});
    const std::tuple<QByteArray, int> cases[] {
        { "GET / HTTP/1.1\r\nX-Filler: " + QByteArray(17 * 1024, 'a'), 431 },
        { "POST / HTTP/1.1\r\nContent-Length: 300000000\r\n\r\n" + QByteArray(1000, 'a'), 413 },
        { "GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501 },
    };
    for (const auto& [request, expected] : cases) {
        const auto socket = connection();
        EXPECT_EQ(status(*socket, request), expected);
        EXPECT_TRUE(closes(*socket));
    }
}

// HTTP/1.0 closes after each answer unless the answer says otherwise; HTTP/1.1 keeps the connection unless
// either side says otherwise.
TEST_F(HttpListenerTest, AnAnswerSaysWhetherTheConnectionStaysWhereTheVersionDoesNotImplyIt)
{
    listen({});
    const std::tuple<QByteArray, QByteArray, bool> cases[] {
        { "GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", "\r\nConnection: keep-alive\r\n", true },
        { "GET / HTTP/1.0\r\nConnection: Keep-Alive, foo\r\n\r\n", "\r\nConnection: keep-alive\r\n", true },
        { "GET / HTTP/1.0\r\n\r\n", "\r\nConnection: close\r\n", false },
        { "GET / HTTP/1.1\r\n\r\n", "", true },
        { "GET / HTTP/1.1\r\nConnection: close\r\n\r\n", "\r\nConnection: close\r\n", false },
    };
    for (const auto& [request, saying, stays] : cases) {
        const auto socket = connection();
        socket->write(request);
        QByteArray received;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                received += socket->readAll();
                return received.contains("\r\n\r\n");
            },
            waitMs))
            << request.constData();
        const QByteArray head = received.left(received.indexOf("\r\n\r\n") + 2);
        EXPECT_EQ(head.count("\r\nConnection:"), saying.isEmpty() ? 0 : 1) << request.constData();
        EXPECT_TRUE(saying.isEmpty() || head.contains(saying)) << head.constData();
        if (stays)
            EXPECT_EQ(status(*socket, request), 200) << "still open after " << request.constData();
        else
            EXPECT_TRUE(closes(*socket)) << request.constData();
    }
}

}
