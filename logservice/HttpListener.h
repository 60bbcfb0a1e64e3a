#pragma once

#include "logservice/ConnectionLimits.h"
#include "logservice/HttpConnection.h"

#include <QList>
#include <QSslConfiguration>
#include <QTcpServer>

#include <optional>

class QSslCertificate;
class QSslKey;

// One listening socket of the service, over TLS or plain HTTP. It takes every connection itself: TLS
// handshakes run under a deadline, and at most `maximumConnections` are open at once; a new one past
// that makes room by dropping the connection that has been idle longest, one that never had an answer
// before one that did. Connections whose latest request signs in may hold all but `reservedForPages` of
// them; past that share, one of them makes room, even while it waits for its answer.
class HttpListener : public QTcpServer
{
    Q_OBJECT

public:
    using Site = HttpConnection::Site;
    using RequestTest = HttpConnection::RequestTest;

    explicit HttpListener(Site site, const ConnectionLimits& limits = {}, QObject* parent = nullptr);

    // From now on, connections speak TLS with this certificate.
    void useTls(const QSslCertificate& certificate, const QSslKey& privateKey);
    // Tells the requests that sign in, for the connections taken from now on.
    void setSignInTest(RequestTest isSignIn) { m_isSignIn = std::move(isSignIn); }
    qsizetype connectionCount() const { return m_connections.size(); }
    // How many connections last sent a sign-in, answered or not.
    qsizetype signInCount() const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool makeRoom();

    Site m_site;
    RequestTest m_isSignIn;
    ConnectionLimits m_limits;
    std::optional<QSslConfiguration> m_tls;
    QList<HttpConnection*> m_connections;
};
