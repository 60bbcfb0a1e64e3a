#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QPair>
#include <QString>

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
};
