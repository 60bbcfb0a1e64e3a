#pragma once

#include "logservice/HttpMessage.h"

#include <QAbstractHttpServer>

#include <functional>

// One listening socket of the service: turns each request into an HttpRequest for its site, writes the
// request's line to standard output, and sends the answer back. Requests that are too large are answered
// here, before any page sees them.
class HttpListener : public QAbstractHttpServer
{
public:
    using Site = std::function<HttpResponse(const HttpRequest&)>;

    explicit HttpListener(Site site, QObject* parent = nullptr);

    static constexpr qsizetype maximumBodySize = 64 * 1024;
    static constexpr qsizetype maximumHeaderSize = 16 * 1024;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Site m_site;
};
