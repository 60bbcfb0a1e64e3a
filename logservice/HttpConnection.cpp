#include "logservice/HttpConnection.h"

#include "logservice/OutputLine.h"
#include "logservice/RequestCookies.h"
#include "logservice/RequestLog.h"

#include <QHostAddress>
#include <QSslSocket>

#include <utility>

using namespace std::chrono_literals;

namespace {

// After refusing a request the connection reads and throws away what the client still sends, until it has
// been quiet this long or this long has passed: closing while its bytes are unread would reset the
// connection, and the client would lose the answer that says what was wrong.
constexpr std::chrono::milliseconds lingerQuiet = 1s;
constexpr qint64 longestLingerMs = 5000;

}

HttpConnection::HttpConnection(QTcpSocket* socket, const Site& site, const ConnectionLimits& limits,
    RequestTest isSignIn, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_site(site)
    , m_limits(limits)
    , m_isSignIn(std::move(isSignIn))
    , m_parser(limits.maximumHeaderSize, limits.maximumBodySize)
{
    m_socket->setParent(this);
    // What the client sends while a request is answered waits in the kernel, which slows the client down,
    // instead of in the service's memory.
    m_socket->setReadBufferSize(limits.maximumHeaderSize + limits.maximumBodySize);
    m_sinceActivity.start();
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &HttpConnection::deadlinePassed);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        if (m_discarding)
            return discardInput();
        m_sinceActivity.restart();
        if (!m_answering)
            restartIdleTimer();
        readRequests();
    });
    connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpConnection::readRequests);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpConnection::finish);
    // A failed handshake, a reset, a client that hung up: nothing more can be said on the connection.
    connect(m_socket, &QTcpSocket::errorOccurred, this, &HttpConnection::drop);
}

void HttpConnection::start()
{
    if (auto* tls = qobject_cast<QSslSocket*>(m_socket)) {
        connect(tls, &QSslSocket::encrypted, this, &HttpConnection::becameReady);
        m_deadline.start(m_limits.handshakeDeadline);
        tls->startServerEncryption();
    } else {
        becameReady();
    }
}

void HttpConnection::drop()
{
    m_socket->abort();
    finish();
}

void HttpConnection::deadlinePassed()
{
    if (!m_discarding)
        return drop();
    m_discarding = false;
    m_socket->disconnectFromHost();
    restartIdleTimer();
}

void HttpConnection::discardInput()
{
    m_socket->readAll();
    if (m_lingering.elapsed() < longestLingerMs)
        m_deadline.start(lingerQuiet);
}

void HttpConnection::becameReady()
{
    m_ready = true;
    restartIdleTimer();
    readRequests();
}

void HttpConnection::readRequests()
{
    // One request at a time, and only once the client has taken the last answer: a client that sends
    // without reading cannot pile answers up in memory.
    if (!m_ready || m_answering || m_closing || m_finished || m_socket->bytesToWrite() > 0)
        return;
    // Bytes are taken from the socket only when the parser needs them, so it never holds more than one
    // unfinished request and one read.
    HttpRequestParser::Outcome outcome = m_parser.next();
    if (std::holds_alternative<std::monostate>(outcome) && m_socket->bytesAvailable() > 0) {
        m_parser.append(m_socket->readAll());
        outcome = m_parser.next();
    }
    if (const auto* parsed = std::get_if<ParsedRequest>(&outcome))
        answer(*parsed);
    else if (const auto* refusal = std::get_if<RequestRefusal>(&outcome))
        refuse(*refusal);
}

void HttpConnection::answer(const ParsedRequest& parsed)
{
    HttpRequest request = parsed.request;
    writeOutputLine(requestLogLine(
        request.method, request.path, cookieValue(request.headerValues("Cookie"), "time_offset")));
    // HEAD is answered as GET, without the body.
    const bool headOnly = request.method == "HEAD";
    if (headOnly)
        request.method = "GET";
    request.client = m_socket->peerAddress().toString();
    m_signsIn = m_isSignIn && m_isSignIn(request);

    m_answering = true;
    m_deadline.stop();
    auto* waitingClient = new QObject(this);
    m_waitingClient = waitingClient;
    const bool closing = !parsed.keepAlive;
    // HTTP/1.0 ends the connection after each answer unless the answer says that it stays.
    const bool sayKeepAlive = parsed.keepAlive && parsed.http10;
    m_site(request,
        HttpReply(waitingClient,
            [this, waitingClient, headOnly, closing, sayKeepAlive](const HttpResponse& response) {
                if (m_waitingClient != waitingClient)
                    return;
                m_waitingClient = nullptr;
                waitingClient->deleteLater();
                m_answering = false;
                m_answered = true;
                if (!sayKeepAlive)
                    return send(response, headOnly, closing);
                HttpResponse kept = response;
                kept.headers.append({ QByteArrayLiteral("Connection"), QByteArrayLiteral("keep-alive") });
                send(kept, headOnly, closing);
            }));
}

void HttpConnection::refuse(const RequestRefusal& refusal)
{
    m_socket->write(HttpResponse::plainText(refusal.status, refusal.text).serialized(true, true));
    m_closing = true;
    m_discarding = true;
    m_lingering.start();
    discardInput();
}

void HttpConnection::send(const HttpResponse& response, bool headOnly, bool closing)
{
    m_socket->write(response.serialized(!headOnly, closing));
    m_sinceActivity.restart();
    restartIdleTimer();
    if (closing) {
        // The answer goes out first; a client that never takes it is dropped by the idle timer.
        m_closing = true;
        m_socket->disconnectFromHost();
        return;
    }
    readRequests();
}

void HttpConnection::restartIdleTimer()
{
    m_deadline.start(m_limits.idleTimeout);
}

void HttpConnection::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_deadline.stop();
    // A sign-in that waits for its turn gives its place up at once.
    delete std::exchange(m_waitingClient, nullptr);
    emit closed(this);
}
