#include "logservice/HttpListener.h"

#include <QSslKey>
#include <QSslSocket>

#include <algorithm>

HttpListener::HttpListener(Site site, const ConnectionLimits& limits, QObject* parent)
    : QTcpServer(parent)
    , m_site(std::move(site))
    , m_limits(limits)
{
    // A burst of new connections waits in the kernel until the listener takes them, instead of being lost.
    setListenBacklogSize(1024);
}

void HttpListener::useTls(const QSslCertificate& certificate, const QSslKey& privateKey)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(privateKey);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_tls = configuration;
}

void HttpListener::incomingConnection(qintptr descriptor)
{
    QTcpSocket* socket = nullptr;
    if (m_tls) {
        auto* tls = new QSslSocket;
        tls->setSslConfiguration(*m_tls);
        socket = tls;
    } else {
        socket = new QTcpSocket;
    }
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (m_connections.size() >= m_limits.maximumConnections && !makeRoom()) {
        // Every open connection waits for an answer: the newcomer is the one turned away.
        socket->abort();
        delete socket;
        return;
    }
    auto* connection = new HttpConnection(socket, m_site, m_limits, m_isSignIn, this);
    m_connections.append(connection);
    connect(connection, &HttpConnection::closed, this, [this](HttpConnection* closed) {
        m_connections.removeOne(closed);
        closed->deleteLater();
    });
    connection->start();
}

// The connection idle for longest goes, among those that never had an answer if there are any: a flood of
// connections that only hold a place then displaces itself, and not the clients that are being served.
// When sign-ins hold more than their share, one of them goes instead, idle or not: the newcomer may well be
// a page request, and a sign-in that waits for its turn costs its client no more than a retry.
qsizetype HttpListener::signInCount() const
{
    return std::count_if(m_connections.cbegin(), m_connections.cend(),
        [](const HttpConnection* connection) { return connection->signsIn(); });
}

bool HttpListener::makeRoom()
{
    const bool signInsPastShare
        = signInCount() > std::max<qsizetype>(0, m_limits.maximumConnections - m_limits.reservedForPages);
    const auto goesBefore = [](const HttpConnection* a, const HttpConnection* b) {
        if (a->isIdle() != b->isIdle())
            return a->isIdle();
        if (a->hasBeenAnswered() != b->hasBeenAnswered())
            return !a->hasBeenAnswered();
        return a->idleMs() > b->idleMs();
    };
    HttpConnection* leaving = nullptr;
    for (HttpConnection* connection : std::as_const(m_connections)) {
        const bool candidate = signInsPastShare ? connection->signsIn() : connection->isIdle();
        if (candidate && (!leaving || goesBefore(connection, leaving)))
            leaving = connection;
    }
    if (!leaving)
        return false;
    leaving->drop();
    return true;
}
