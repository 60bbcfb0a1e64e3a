#include "logservice/HttpMessage.h"

#include "logservice/Pages.h"

QByteArrayList HttpRequest::headerValues(const QByteArray& name) const
{
    QByteArrayList values;
    for (const auto& [headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

HttpResponse HttpResponse::html(const QByteArray& page, int status)
{
    return { status,
        { { "Content-Type", "text/html; charset=utf-8" }, { "Cache-Control", "no-store" },
            { "Content-Security-Policy", pageSecurityPolicy() }, { "X-Content-Type-Options", "nosniff" },
            // The address goes to the service's own pages only; and a browser that does not send
            // Sec-Fetch-Site then gives their posts their true Origin instead of "null".
            { "Referrer-Policy", "same-origin" } },
        page };
}

HttpResponse HttpResponse::plainText(int status, const QString& text)
{
    return { status,
        { { "Content-Type", "text/plain; charset=utf-8" }, { "Cache-Control", "no-store" },
            { "X-Content-Type-Options", "nosniff" } },
        text.toUtf8() };
}

HttpResponse HttpResponse::redirect(const QByteArray& location)
{
    return { 303, { { "Location", location }, { "Cache-Control", "no-store" } }, {} };
}

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 303:
        return "See Other";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 413:
        return "Content Too Large";
    case 415:
        return "Unsupported Media Type";
    case 429:
        return "Too Many Requests";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 503:
        return "Service Unavailable";
    case 505:
        return "HTTP Version Not Supported";
    default:
        return "Status " + QByteArray::number(status);
    }
}

}

QByteArray HttpResponse::serialized(bool withBody, bool closing) const
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto& [name, value] : headers)
        text += name + ": " + value + "\r\n";
    text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (closing)
        text += "Connection: close\r\n";
    text += "\r\n";
    if (withBody)
        text += body;
    return text;
}

HttpReply::HttpReply(QObject* client, Send send)
    : m_client(client)
    , m_send(std::move(send))
{
}

void HttpReply::send(const HttpResponse& response) const
{
    if (m_client)
        m_send(response);
}

QByteArray HttpResponse::header(const QByteArray& name) const
{
    for (const auto& [headerName, value] : headers) {
        if (headerName.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}
