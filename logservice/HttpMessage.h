#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// A request as the service's pages see it, free of the server library's types so that they can be tested
// without a socket.
struct HttpRequest
{
    QByteArray method;
    // The path as sent, percent-encoded, without the query.
    QByteArray path;
    HttpHeaders headers;
    QByteArray body;
    // Who sent it (the peer's address), for limits that apply per client.
    QString client;
    // The query as sent (after '?', before any '#'), every byte that is not visible ASCII percent-encoded.
    QByteArray query = {};

    // Every value of the header, whatever the case of its name, in the order sent.
    QByteArrayList headerValues(const QByteArray& name) const;
};

struct HttpResponse
{
    int status = 200;
    HttpHeaders headers;
    QByteArray body;

    // A page: HTML, never cached (it shows a logger's notes), locked down by the page security policy.
    static HttpResponse html(const QByteArray& page, int status = 200);
    static HttpResponse plainText(int status, const QString& text);
    // "See Other": after a form is posted the browser asks for the new page with GET.
    static HttpResponse redirect(const QByteArray& location);

    QByteArray header(const QByteArray& name) const;

    // The answer as sent: status line, headers, Content-Length, "Connection: close" when the connection
    // ends after it, and the body unless `withBody` is false (an answer to HEAD).
    QByteArray serialized(bool withBody, bool closing) const;
};

// The way back to the client that sent a request. A page may answer at once or keep it and answer later;
// an answer for a client that has gone meanwhile is dropped.
class HttpReply
{
public:
    using Send = std::function<void(const HttpResponse&)>;

    // `client` stands for the waiting client: it lives exactly as long as the client waits.
    HttpReply(QObject* client, Send send);

    // For timers and queued work that must end with the client.
    QObject* client() const { return m_client; }
    void send(const HttpResponse& response) const;

private:
    QPointer<QObject> m_client;
    Send m_send;
};
