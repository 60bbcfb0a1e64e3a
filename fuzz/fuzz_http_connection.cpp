// One client's connection to the log service, without a socket: the request stream cut into pieces as they
// may arrive, pipelined, with sign-ins that wait for their turn and answers given late, a client that reads
// its answers only now and then, and hang-ups. What the connection writes back must be one answer per
// request, in order, that says truly whether the connection stays.
//
// The input is request bytes, cut into pieces of the size its first byte gives, with steps for the client
// and the site among them: NUL then 'T' (the client reads what was written), 'V' (the oldest answer held
// back is given), 'H' (the client hangs up), '0'-'2' (the next bytes go to that connection).
#include "FuzzInput.h"

#include "logservice/HttpConnection.h"
#include "logservice/HttpRequestParser.h"
#include "logservice/SignInQueue.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpSocket>

#include <array>
#include <deque>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qsizetype headerLimit = 1024;
constexpr qsizetype bodyLimit = 4096;
constexpr int connectionCount = 3;

// A connected socket whose other end is the fuzzer: what arrives is what it hands over, what is written
// waits until the fuzzer takes it, as in the kernel's buffers.
class FakeSocket : public QTcpSocket
{
public:
    FakeSocket()
    {
        setOpenMode(QIODevice::ReadWrite);
        setSocketState(QAbstractSocket::ConnectedState);
        setPeerAddress(QHostAddress::LocalHost);
    }
    ~FakeSocket() override { setSocketState(QAbstractSocket::UnconnectedState); }

    void arrive(const QByteArray& bytes)
    {
        if (state() != QAbstractSocket::ConnectedState)
            return;
        m_input += bytes;
        emit readyRead();
    }

    QByteArray take()
    {
        const QByteArray taken = std::exchange(m_output, {});
        if (!taken.isEmpty())
            emit bytesWritten(taken.size());
        if (m_closing && m_output.isEmpty())
            hangUp();
        return taken;
    }

    void hangUp()
    {
        if (state() == QAbstractSocket::UnconnectedState)
            return;
        setSocketState(QAbstractSocket::UnconnectedState);
        emit disconnected();
    }

    qint64 bytesAvailable() const override { return QTcpSocket::bytesAvailable() + m_input.size(); }
    qint64 bytesToWrite() const override { return m_output.size(); }
    void disconnectFromHost() override
    {
        m_closing = true;
        if (m_output.isEmpty())
            hangUp();
    }
    void close() override
    {
        QIODevice::close();
        setSocketState(QAbstractSocket::UnconnectedState);
    }

protected:
    qint64 readData(char* data, qint64 maximum) override
    {
        const qint64 count = std::min<qint64>(maximum, m_input.size());
        std::copy_n(m_input.constData(), count, data);
        m_input.remove(0, count);
        return count;
    }
    qint64 writeData(const char* data, qint64 size) override
    {
        FUZZ_ASSERT(!m_closing);
        m_output.append(data, size);
        return size;
    }

private:
    QByteArray m_input;
    QByteArray m_output;
    bool m_closing = false;
};

// Sign-ins wait in a small queue shared by the connections and are answered when the fuzzer says; so are
// requests for /hold. Everything else is answered at once.
class Site
{
public:
    void respond(const HttpRequest& request, const HttpReply& reply)
    {
        const bool signIn = request.method == "POST" && request.path == "/users/login";
        if (signIn) {
            const auto arrived = m_queue.arrive(QString::fromUtf8(request.body), request.client);
            if (std::holds_alternative<SignInQueue::Refusal>(arrived)) {
                HttpResponse busy = HttpResponse::plainText(429, QStringLiteral("busy"));
                busy.headers.append({ QByteArrayLiteral("Retry-After"), QByteArrayLiteral("1") });
                return reply.send(busy);
            }
            m_held.push_back({ reply, std::get<SignInQueue::Ticket>(arrived) });
            return;
        }
        if (request.path == "/hold")
            return m_held.push_back({ reply, std::nullopt });
        reply.send(HttpResponse::plainText(200, QString::fromLatin1(request.path)));
    }

    void answerOldest()
    {
        if (m_held.empty())
            return;
        const auto [reply, ticket] = m_held.front();
        m_held.pop_front();
        if (ticket) {
            m_queue.startNext();
            m_queue.leave(*ticket);
        }
        reply.send(HttpResponse::plainText(200, QStringLiteral("late")));
    }

    qsizetype held() const { return static_cast<qsizetype>(m_held.size()); }

private:
    struct Held
    {
        HttpReply reply;
        std::optional<SignInQueue::Ticket> ticket;
    };
    SignInQueue m_queue { { .waitingAtOnce = 4, .waitingPerClient = 2 } };
    std::deque<Held> m_held;
};

QByteArray headerValue(QByteArrayView head, QByteArrayView name)
{
    const QByteArray key = "\r\n" + name.toByteArray() + ": ";
    const qsizetype at = head.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype start = at + key.size();
    return head.sliced(start, head.indexOf("\r\n", start) - start).toByteArray();
}

// Checks what one connection wrote against the requests it was sent, read by a parser of its own.
void checkAnswers(const QByteArray& sent, const QByteArray& written)
{
    HttpRequestParser requests(headerLimit, bodyLimit);
    requests.append(sent);
    qsizetype at = 0;
    bool ended = false;
    while (at < written.size()) {
        FUZZ_ASSERT(!ended);
        const auto outcome = requests.next();
        FUZZ_ASSERT(!std::holds_alternative<std::monostate>(outcome));
        const qsizetype headEnd = written.indexOf("\r\n\r\n", at);
        FUZZ_ASSERT(headEnd > at && written.sliced(at).startsWith("HTTP/1.1 "));
        const QByteArrayView head = QByteArrayView(written).sliced(at, headEnd + 2 - at);
        const int status = head.sliced(9, 3).toInt();
        const QByteArray connection = headerValue(head, "Connection");
        qsizetype bodySize = headerValue(head, "Content-Length").toLongLong();
        if (const auto* refusal = std::get_if<RequestRefusal>(&outcome)) {
            FUZZ_ASSERT(status == refusal->status && connection == "close");
        } else {
            const ParsedRequest& parsed = std::get<ParsedRequest>(outcome);
            FUZZ_ASSERT(connection == (!parsed.keepAlive ? "close" : parsed.http10 ? "keep-alive" : ""));
            FUZZ_ASSERT(status != 429 || !headerValue(head, "Retry-After").isEmpty());
            if (parsed.request.method == "HEAD")
                bodySize = 0;
        }
        ended = connection == "close";
        at = headEnd + 4 + bodySize;
        FUZZ_ASSERT(at <= written.size());
    }
}

struct Client
{
    FakeSocket* socket = nullptr;
    QByteArray sent;
    QByteArray written;
    bool closed = false;
};

}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The connection logs every request on standard output; libFuzzer reports on standard error.
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
    static int argc = 1;
    static char name[] = "fuzz_http_connection";
    static char* argv[] = { name, nullptr };
    static QCoreApplication application(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype piece = data[0] + 1;
    const QByteArray script(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size) - 1);

    Site site;
    const HttpConnection::Site respond
        = [&site](const HttpRequest& request, const HttpReply& reply) { site.respond(request, reply); };
    const ConnectionLimits limits { .maximumHeaderSize = headerLimit, .maximumBodySize = bodyLimit };
    std::array<Client, connectionCount> clients;
    std::array<std::unique_ptr<HttpConnection>, connectionCount> connections;
    for (int i = 0; i < connectionCount; ++i) {
        clients[i].socket = new FakeSocket;
        connections[i] = std::make_unique<HttpConnection>(clients[i].socket, respond, limits,
            [](const HttpRequest& request) { return request.path == "/users/login"; });
        QObject::connect(
            connections[i].get(), &HttpConnection::closed, [&client = clients[i]] { client.closed = true; });
        connections[i]->start();
    }

    int current = 0;
    const auto takeAll = [&] {
        for (Client& client : clients)
            client.written += client.socket->take();
    };
    qsizetype at = 0;
    while (at < script.size()) {
        if (script[at] == '\0' && at + 1 < script.size()) {
            switch (script[at + 1]) {
            case 'T':
                clients[current].written += clients[current].socket->take();
                break;
            case 'V':
                site.answerOldest();
                break;
            case 'H':
                clients[current].socket->hangUp();
                break;
            case '0':
            case '1':
            case '2':
                current = script[at + 1] - '0';
                break;
            default:
                break;
            }
            at += 2;
            continue;
        }
        qsizetype end = std::min(at + piece, script.size());
        const qsizetype step = script.indexOf('\0', at);
        if (step >= 0 && step < end)
            end = step == at ? at + 1 : step;
        const QByteArray bytes = script.sliced(at, end - at);
        if (clients[current].socket->state() == QAbstractSocket::ConnectedState)
            clients[current].sent += bytes;
        clients[current].socket->arrive(bytes);
        // A connection answers one request at a time, whatever arrives meanwhile.
        FUZZ_ASSERT(site.held() <= connectionCount);
        at = end;
    }
    while (site.held() > 0) {
        takeAll();
        site.answerOldest();
    }
    takeAll();
    takeAll();
    for (const Client& client : clients)
        checkAnswers(client.sent, client.written);
    for (auto& connection : connections)
        connection.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
