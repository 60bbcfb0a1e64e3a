#include "support/LogServiceProcess.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int networkTimeoutMs = 30000;

struct Answer
{
    int status = 0;
    QByteArray body;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QList<QNetworkReply::RawHeaderPair> headers;

    QByteArray header(const QByteArray& name) const
    {
        for (const auto& [headerName, value] : headers) {
            if (headerName.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        }
        return {};
    }
};

QSslCertificate serviceCertificate(const LogServiceProcess& service)
{
    return QSslCertificate::fromPath(service.dataDirectory() + QStringLiteral("/service-cert.pem")).value(0);
}

// Trusts the service's own certificate and nothing else.
QSslConfiguration trustingOnly(const QSslCertificate& certificate)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({ certificate });
    return configuration;
}

// Talks to the service like a browser would, but handles cookies and redirects by hand so the tests see
// exactly what the service sends.
class Client
{
public:
    Client(const QString& baseUrl, const QSslConfiguration& ssl)
        : m_baseUrl(baseUrl)
        , m_ssl(ssl)
    {
    }

    Answer send(const QByteArray& method, const QString& path, const QByteArray& cookies = {},
        const QByteArray& body = {})
    {
        QNetworkRequest request(QUrl(m_baseUrl + path));
        request.setSslConfiguration(m_ssl);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
        request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
        if (!cookies.isEmpty())
            request.setRawHeader("Cookie", cookies);
        if (!body.isEmpty())
            request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        // A HEAD answer has a length but no body: only head() tells the network stack not to wait for one.
        std::unique_ptr<QNetworkReply> reply(
            method == "HEAD" ? m_network.head(request) : m_network.sendCustomRequest(request, method, body));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(networkTimeoutMs))
            return { 0, {}, QNetworkReply::TimeoutError, {} };
        return { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll(),
            reply->error(), reply->rawHeaderPairs() };
    }

    QByteArray signIn(const QByteArray& form)
    {
        return send("POST", QStringLiteral("/users/login"), {}, form).header("Set-Cookie").split(';').first();
    }

private:
    QString m_baseUrl;
    QSslConfiguration m_ssl;
    QNetworkAccessManager m_network;
};

// The status code of the first answer on a raw TLS connection, or 0 when the service closed it without one.
int rawExchange(const LogServiceProcess& service, const QByteArray& data, bool closeAfterWriting = false)
{
    QSslSocket socket;
    socket.setSslConfiguration(trustingOnly(serviceCertificate(service)));
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), service.httpsPort());
    if (!socket.waitForEncrypted(networkTimeoutMs))
        return -1;
    socket.write(data);
    if (closeAfterWriting) {
        socket.flush();
        socket.disconnectFromHost();
        return 0;
    }
    QByteArray received;
    while (!received.contains("\r\n") && socket.waitForReadyRead(networkTimeoutMs))
        received += socket.readAll();
    received += socket.readAll();
    return received.startsWith("HTTP/1.1 ") ? received.mid(9, 3).toInt() : 0;
}

class LogServiceProcessTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start()) << "tapescribe-logservice did not start";
        ASSERT_TRUE(service.addAccount(QStringLiteral("ann"), QStringLiteral("s3cret pw\n")));
    }

    Client https()
    {
        return Client(QStringLiteral("https://127.0.0.1:%1").arg(service.httpsPort()),
            trustingOnly(serviceCertificate(service)));
    }

    LogServiceProcess service;
};

TEST_F(LogServiceProcessTest, ServesTheLogFormOverHttpsToASignedInLogger)
{
    Client client = https();
    const Answer signedOut = client.send("GET", QStringLiteral("/index.php/logger/form"));
    EXPECT_EQ(signedOut.error, QNetworkReply::NoError);
    EXPECT_EQ(signedOut.status, 303);
    EXPECT_EQ(signedOut.header("Location"), "/users/login");

    const QByteArray session = client.signIn("identity=ann&password=s3cret+pw");
    ASSERT_TRUE(session.startsWith("__Host-tapescribe_session="));
    EXPECT_EQ(client.send("GET", QStringLiteral("/index.php/logger/form"), session).status, 200);
    EXPECT_EQ(client
                  .send("POST", QStringLiteral("/index.php/logger/notes"), "time_offset=91.0; " + session,
                      "text=slate")
                  .status,
        200);
    const Answer csv = client.send("GET", QStringLiteral("/index.php/logger/notes.csv"), session);
    EXPECT_EQ(csv.status, 200);
    EXPECT_TRUE(csv.header("Content-Disposition").startsWith("attachment"));
    EXPECT_TRUE(csv.body.startsWith("recorded_at,written_at,text\r\n"));
    EXPECT_TRUE(csv.body.contains(",slate\r\n"));

    ASSERT_TRUE(
        service.waitForRequest(QStringLiteral("request GET /index.php/logger/notes.csv"), networkTimeoutMs));
    const QStringList lines = service.requestLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("request GET /index.php/logger/form time_offset=-")));
    EXPECT_TRUE(lines.contains(QStringLiteral("request POST /index.php/logger/notes time_offset=91.0")));
    const QString token = QString::fromLatin1(session.mid(session.indexOf('=') + 1));
    for (const QString& line : lines) {
        EXPECT_FALSE(line.contains(QStringLiteral("s3cret"))) << qPrintable(line);
        EXPECT_FALSE(line.contains(token)) << qPrintable(line);
    }
}

TEST_F(LogServiceProcessTest, AnsweringRequiresTrustInExactlyThisCertificate)
{
    const QSslCertificate certificate = serviceCertificate(service);
    ASSERT_FALSE(certificate.isNull());
    EXPECT_EQ(
        QString::fromLatin1(
            QCryptographicHash::hash(certificate.publicKey().toDer(), QCryptographicHash::Sha256).toBase64()),
        service.spki());

    LogServiceProcess other;
    ASSERT_TRUE(other.start());
    Client trustingTheOther(QStringLiteral("https://127.0.0.1:%1").arg(service.httpsPort()),
        trustingOnly(serviceCertificate(other)));
    EXPECT_EQ(trustingTheOther.send("GET", QStringLiteral("/users/login")).error,
        QNetworkReply::SslHandshakeFailedError);
}

TEST_F(LogServiceProcessTest, ServesTheMakersPagesOverPlainHttp)
{
    Client http(QStringLiteral("http://127.0.0.1:%1").arg(service.httpPort()), {});
    for (const QString& page : { QStringLiteral("/tapescribe.html"), QStringLiteral("/glossary.html"),
             QStringLiteral("/about.html") })
        EXPECT_EQ(http.send("GET", page).status, 200) << qPrintable(page);
    EXPECT_EQ(http.send("GET", QStringLiteral("/users/login")).status, 404);
    const Answer head = http.send("HEAD", QStringLiteral("/about.html"));
    EXPECT_EQ(head.status, 200);
    EXPECT_TRUE(head.body.isEmpty());
    EXPECT_GT(head.header("Content-Length").toInt(), 0);
}

TEST_F(LogServiceProcessTest, SurvivesMalformedRequests)
{
    const QByteArray huge
        = "GET /users/login HTTP/1.1\r\nHost: x\r\nX-Filler: " + QByteArray(100000, 'a') + "\r\n\r\n";
    const QByteArray oversized
        = "POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
          "Content-Length: 70000\r\n\r\n"
        + QByteArray(70000, 'a');
    EXPECT_EQ(rawExchange(service, huge), 431);
    EXPECT_EQ(rawExchange(service, oversized), 413);
    EXPECT_EQ(rawExchange(service, "GET /index.php/logger/%zz%ff HTTP/1.1\r\nHost: x\r\n\r\n"), 404);
    EXPECT_EQ(rawExchange(service, "GET /\xff\xfe\x01 HTTP/1.1\r\nHost: x\r\n\r\n"), 404);
    EXPECT_EQ(rawExchange(service, "BREW /users/login HTTP/1.1\r\nHost: x\r\n\r\n"), 405);
    EXPECT_EQ(
        rawExchange(service,
            "POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: 23\r\n\r\nidentity=%ff&password=x"),
        400);
    rawExchange(service, QByteArrayLiteral("\x00\xff\x16 garbage \r\n\r\n"));
    rawExchange(service, "GET /users/login HTTP/1.1\r\nHost: x\r\nX-Half: ", true);
    rawExchange(
        service, "POST /users/login HTTP/1.1\r\nHost: x\r\nContent-Length: 100\r\n\r\nidentity=", true);

    Client client = https();
    EXPECT_EQ(client.send("GET", QStringLiteral("/users/login")).status, 200) << "still answering";
    EXPECT_TRUE(client.signIn("identity=ann&password=s3cret+pw").startsWith("__Host-tapescribe_session="));
}

TEST_F(LogServiceProcessTest, AddAccountReplacesThePassword)
{
    Client client = https();
    ASSERT_TRUE(service.addAccount(QStringLiteral("ann"), QStringLiteral("second\r\n")));
    EXPECT_TRUE(client.signIn("identity=ann&password=s3cret+pw").isEmpty());
    EXPECT_FALSE(client.signIn("identity=ann&password=second").isEmpty());
}

struct CommandRun
{
    int exitCode = -1;
    QByteArray error;
};

CommandRun runLogService(const QStringList& arguments, const QByteArray& input)
{
    QProcess process;
    process.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice")), arguments);
    if (!process.waitForStarted(networkTimeoutMs))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(networkTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return { process.exitCode(), process.readAllStandardError() };
}

TEST(LogServiceCommands, RefuseUnusableAccountsAndBadUsage)
{
    QTemporaryDir directory;
    const QString data = directory.path();
    const CommandRun emptyPassword = runLogService({ "add-account", "--data", data, "ann" }, "\n");
    EXPECT_EQ(emptyPassword.exitCode, 1);
    EXPECT_TRUE(emptyPassword.error.contains("password is empty"));
    const CommandRun emptyName = runLogService({ "add-account", "--data", data, "" }, "pw");
    EXPECT_EQ(emptyName.exitCode, 1);
    EXPECT_TRUE(emptyName.error.contains("name is empty"));
    const CommandRun passwordAsArgument = runLogService({ "add-account", "--data", data, "ann", "pw" }, "pw");
    EXPECT_EQ(passwordAsArgument.exitCode, 2);
    EXPECT_TRUE(passwordAsArgument.error.startsWith("usage: "));
    EXPECT_EQ(runLogService({ "serve" }, {}).exitCode, 2);
    EXPECT_EQ(runLogService({ "add-account", "--data", data, "ann" }, "pw\n").exitCode, 0);
}

TEST(LogServiceCommands, SpkiNamesTheSameCertificateEachTime)
{
    QTemporaryDir directory;
    QProcess first;
    first.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice")),
        { "spki", "--data", directory.path() });
    ASSERT_TRUE(first.waitForFinished(networkTimeoutMs));
    const QByteArray spki = first.readAllStandardOutput();
    EXPECT_EQ(spki.trimmed().size(), 44) << "base64 of 32 bytes";
    const QFile::Permissions everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
        | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther
        | QFile::ExeOther;
    for (const char* file : { "/service-key.pem", "/service-cert.pem" })
        EXPECT_EQ(QFile::permissions(directory.path() + QLatin1String(file)) & everyone,
            QFile::ReadOwner | QFile::WriteOwner)
            << file;

    QProcess second;
    second.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice")),
        { "spki", "--data", directory.path() });
    ASSERT_TRUE(second.waitForFinished(networkTimeoutMs));
    EXPECT_EQ(second.readAllStandardOutput(), spki);
}

TEST(LogServiceCommands, ServeEndsCleanlyOnSigterm)
{
    QTemporaryDir directory;
    QProcess serve;
    serve.start(TestEnvironment::builtProgram(QStringLiteral("tapescribe-logservice")),
        { "serve", "--data", directory.path(), "--https-port", "0" });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serve.canReadLine() || serve.state() == QProcess::NotRunning; }, networkTimeoutMs));
    EXPECT_TRUE(serve.readLine().startsWith("tapescribe-logservice listening on https://127.0.0.1:"));
    serve.terminate();
    ASSERT_TRUE(serve.waitForFinished(networkTimeoutMs));
    EXPECT_EQ(serve.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(serve.exitCode(), 0);
}

}
