#pragma once

#include "logservice/ConnectionLimits.h"
#include "logservice/HttpMessage.h"
#include "logservice/HttpRequestParser.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QTcpSocket;

// One client's connection: reads its requests one at a time, hands each to the site and writes the answer
// back, in order. It ends the connection when the TLS handshake misses its deadline, when the client sends
// nothing for the idle time-out (unless it waits for an answer), and after refusing a request.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    using Site = std::function<void(const HttpRequest&, const HttpReply&)>;
    using RequestTest = std::function<bool(const HttpRequest&)>;

    // Takes `socket` over; a QSslSocket is the server side of a TLS connection. `isSignIn` tells the
    // requests that sign in; without it none does.
    HttpConnection(QTcpSocket* socket, const Site& site, const ConnectionLimits& limits,
        RequestTest isSignIn = {}, QObject* parent = nullptr);

    // Starts the handshake, or reading requests at once on plain HTTP.
    void start();

    // Not waiting for an answer of the site.
    bool isIdle() const { return !m_answering; }
    // Milliseconds since the client last sent anything (or connected).
    qint64 idleMs() const { return m_sinceActivity.elapsed(); }
    // Whether the client has had an answer on this connection: a client that made it this far is worth
    // more than one that never did.
    bool hasBeenAnswered() const { return m_answered; }
    // Whether the latest request on the connection signs in, answered or not.
    bool signsIn() const { return m_signsIn; }
    // Ends the connection at once, without a word; closed() follows.
    void drop();

signals:
    // Emitted once, when the connection has ended; the connection may then be deleted.
    void closed(HttpConnection* connection);

private:
    void becameReady();
    void readRequests();
    void answer(const ParsedRequest& parsed);
    void refuse(const RequestRefusal& refusal);
    void send(const HttpResponse& response, bool headOnly, bool closing);
    void deadlinePassed();
    void discardInput();
    void restartIdleTimer();
    void finish();

    QTcpSocket* m_socket;
    const Site& m_site;
    ConnectionLimits m_limits;
    RequestTest m_isSignIn;
    HttpRequestParser m_parser;
    QTimer m_deadline;
    QElapsedTimer m_sinceActivity;
    QElapsedTimer m_lingering;
    bool m_ready = false;
    bool m_answering = false;
    bool m_answered = false;
    bool m_signsIn = false;
    bool m_closing = false;
    bool m_discarding = false;
    bool m_finished = false;
    // Stands for the request being answered: replies for it are dropped once it is gone.
    QObject* m_waitingClient = nullptr;
};
