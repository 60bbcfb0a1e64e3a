#include "support/LogServiceProcess.h"
#include "support/Processes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <memory>
#include <tuple>

namespace {

constexpr int timeoutMs = 30000;
enum class Channel { Https, PlainHttp };

// A sign-in form as posted; `length` stands in the header in place of the form's own length.
QByteArray signInRequest(const QByteArray& form, qsizetype length = -1)
{
    return "POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
           "Content-Length: "
        + QByteArray::number(length < 0 ? form.size() : length) + "\r\n\r\n" + form;
}

class LogServiceProcessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start()) << "tapescribe-logservice did not start";
        ASSERT_TRUE(service.addAccount(QStringLiteral("ann"), QStringLiteral("s3cret pw\n")));
    }

    // A fresh connection to the service. Whether a browser trusts the certificate is the web route's test;
    // here only what the service makes of the bytes matters.
    std::unique_ptr<QSslSocket> connection(Channel channel = Channel::Https)
    {
        auto socket = std::make_unique<QSslSocket>();
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        if (channel == Channel::PlainHttp) {
            socket->connectToHost(QStringLiteral("127.0.0.1"), service.httpPort());
            socket->waitForConnected(timeoutMs);
        } else {
            socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), service.httpsPort());
            socket->waitForEncrypted(timeoutMs);
        }
        return socket;
    }

    // Writes `data` and returns what came back once an answer's header is in; nothing when the service
    // closed the connection without one.
    static QByteArray answer(QSslSocket& socket, const QByteArray& data)
    {
        socket.write(data);
        QByteArray received;
        while (!received.contains("\r\n\r\n") && socket.waitForReadyRead(timeoutMs))
            received += socket.readAll();
        return received;
    }

    // "HTTP/1.1 " and the status code of the answer on a fresh connection.
    QByteArray status(const QByteArray& request, Channel channel = Channel::Https)
    {
        return answer(*connection(channel), request).left(12);
    }

    // Leaves the service with half a request.
    void hangUpAfter(const QByteArray& data)
    {
        const auto socket = connection();
        socket->write(data);
        socket->flush();
    }

    LogServiceProcess service;
};

TEST_F(LogServiceProcessTest, ServesTheMakersPagesOverPlainHttp)
{
    for (const QByteArray page : { "/tapescribe.html", "/glossary.html", "/about.html" })
        EXPECT_EQ(status("GET " + page + " HTTP/1.1\r\nHost: x\r\n\r\n", Channel::PlainHttp), "HTTP/1.1 200");
    EXPECT_EQ(status("GET /users/login HTTP/1.1\r\nHost: x\r\n\r\n", Channel::PlainHttp), "HTTP/1.1 404")
        << "the log service is not on plain HTTP";

    const auto socket = connection(Channel::PlainHttp);
    const QByteArray head = answer(*socket, "HEAD /about.html HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200")) << head.constData();
    EXPECT_TRUE(head.contains("Content-Length: ") && !head.contains("Content-Length: 0\r\n"));
    // The next answer on the connection comes right after the header: a body would come between.
    const QByteArray next = head.mid(head.indexOf("\r\n\r\n") + 4)
        + answer(*socket, "GET /about.html HTTP/1.1\r\nHost: x\r\n\r\n");
    EXPECT_TRUE(next.startsWith("HTTP/1.1 200")) << next.left(40).constData();
}

TEST_F(LogServiceProcessTest, AnswersMalformedRequestsAndGoesOnAnswering)
{
    EXPECT_EQ(status("GET / HTTP/1.1\r\nHost: x\r\nX-Filler: " + QByteArray(100000, 'a') + "\r\n\r\n"),
        "HTTP/1.1 431");
    EXPECT_EQ(status(signInRequest(QByteArray(70000, 'a'))), "HTTP/1.1 413");
    EXPECT_EQ(status("GET /index.php/logger/%zz%ff HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 404");
    EXPECT_EQ(status("GET /\xff\xfe\x01 HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 404");
    EXPECT_EQ(status("BREW /users/login HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 405");
    EXPECT_EQ(status(signInRequest("identity=%ff&password=x")), "HTTP/1.1 400");
    status(QByteArrayLiteral("\x00\xff\x16 garbage \r\n\r\n"));
    hangUpAfter("GET /users/login HTTP/1.1\r\nHost: x\r\nX-Half: ");
    hangUpAfter(signInRequest("identity=", 100));

    EXPECT_EQ(status("GET /users/login HTTP/1.1\r\nHost: x\r\n\r\n"), "HTTP/1.1 200") << "still answering";
    EXPECT_TRUE(answer(*connection(), signInRequest("identity=ann&password=s3cret+pw"))
                    .contains("\r\nSet-Cookie: __Host-tapescribe_session="));
}

TEST_F(LogServiceProcessTest, AddAccountTakesThePasswordFromStandardInput)
{
    ASSERT_TRUE(service.addAccount(QStringLiteral("ann"), QStringLiteral("second\r\n")));
    EXPECT_EQ(status(signInRequest("identity=ann&password=s3cret+pw")), "HTTP/1.1 200")
        << "the sign-in page again";
    EXPECT_EQ(status(signInRequest("identity=ann&password=second")), "HTTP/1.1 303");
}

// Real handshakes with clients that offer one suite each: TLS 1.2 is spoken only with ECDHE and an AEAD
// cipher, TLS 1.3 as the library has it.
TEST_F(LogServiceProcessTest, Tls12HandshakesOnlyWithForwardSecretAeadSuites)
{
    const std::tuple<QSsl::SslProtocol, QString, bool> cases[] {
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES128-GCM-SHA256"), true },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES256-GCM-SHA384"), true },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-CHACHA20-POLY1305"), true },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES128-SHA"), false },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES256-SHA"), false },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES128-SHA256"), false },
        { QSsl::TlsV1_2, QStringLiteral("ECDHE-ECDSA-AES256-SHA384"), false },
        // TLS 1.3 with the client library's own suites of that version.
        { QSsl::TlsV1_3, QString(), true },
    };
    for (const auto& [protocol, cipher, accepted] : cases) {
        QSslSocket socket;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setProtocol(protocol);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        if (!cipher.isEmpty())
            configuration.setCiphers({ QSslCipher(cipher) });
        socket.setSslConfiguration(configuration);
        socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), service.httpsPort());
        const bool encrypted = socket.waitForEncrypted(timeoutMs);
        EXPECT_EQ(encrypted, accepted) << qPrintable(cipher) << ": " << qPrintable(socket.errorString());
        if (encrypted) {
            EXPECT_EQ(socket.sessionProtocol(), protocol) << qPrintable(cipher);
            if (!cipher.isEmpty()) {
                EXPECT_EQ(socket.sessionCipher().name(), cipher);
            }
        }
    }
}

TEST(LogServiceProcessDeathTest, TheServiceEndsWithATestThatCrashes)
{
    // The crashing test is a fork of this one, so both know where the service's process id is written.
    GTEST_FLAG_SET(death_test_style, "fast");
    QTemporaryDir directory;
    const QString pidFile = directory.filePath(QStringLiteral("service.pid"));
    EXPECT_DEATH(
        {
            LogServiceProcess service;
            if (service.start()) {
                QFile file(pidFile);
                if (file.open(QIODevice::WriteOnly))
                    file.write(QByteArray::number(service.processId()));
            }
            std::abort();
        },
        "");
    QFile file(pidFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the crashing test did not start the service";
    const qint64 pid = file.readAll().toLongLong();
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Processes::isRunning(pid); }, timeoutMs));
}

TEST(LogServiceCommands, ServeKeepsTheKeyToItsOwnerAndEndsCleanlyOnSigterm)
{
    QTemporaryDir directory;
    QProcess serve;
    serve.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice")),
        { "serve", "--data", directory.path(), "--https-port", "0" });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serve.canReadLine() || serve.state() == QProcess::NotRunning; }, timeoutMs));
    EXPECT_TRUE(serve.readLine().startsWith("tapescribe-logservice listening on https://127.0.0.1:"));
    for (const char* file : { "/service-key.pem", "/service-cert.pem" })
        EXPECT_EQ(QFile::permissions(directory.path() + QLatin1String(file))
                & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
            QFile::ReadOwner | QFile::WriteOwner)
            << file;
    serve.terminate();
    ASSERT_TRUE(serve.waitForFinished(timeoutMs));
    EXPECT_EQ(serve.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(serve.exitCode(), 0);
}

}
