#include "logservice/HttpListener.h"

#include "logservice/OutputLine.h"
#include "logservice/RequestCookies.h"
#include "logservice/RequestLog.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>

namespace {

QByteArray methodName(QHttpServerRequest::Method method)
{
    const char* key = QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(static_cast<int>(method));
    return QByteArray(key ? key : "Unknown").toUpper();
}

qsizetype headerSize(const QHttpServerRequest& request)
{
    qsizetype size = request.url().toEncoded().size();
    for (const auto& [name, value] : request.headers())
        size += name.size() + value.size() + 4;
    return size;
}

HttpResponse answer(const HttpListener::Site& site, const HttpRequest& request, qsizetype headerBytes)
{
    if (headerBytes > HttpListener::maximumHeaderSize)
        return HttpResponse::plainText(431, QStringLiteral("The request's header is too large."));
    if (request.body.size() > HttpListener::maximumBodySize)
        return HttpResponse::plainText(413, QStringLiteral("The request's body is too large."));
    if (request.method != "HEAD")
        return site(request);
    HttpRequest asGet = request;
    asGet.method = "GET";
    return site(asGet);
}

}

HttpListener::HttpListener(Site site, QObject* parent)
    : QAbstractHttpServer(parent)
    , m_site(std::move(site))
{
}

bool HttpListener::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket)
{
    const HttpRequest received { methodName(request.method()),
        request.url().path(QUrl::FullyEncoded).toLatin1(), request.headers(), request.body() };
    writeOutputLine(requestLogLine(
        received.method, received.path, cookieValue(received.headerValues("Cookie"), "time_offset")));

    const HttpResponse response = answer(m_site, received, headerSize(request));
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(response.status));
    for (const auto& [name, value] : response.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(response.body.size()));
    responder.writeBody(received.method == "HEAD" ? QByteArray() : response.body);
    return true;
}

void HttpListener::missingHandler(const QHttpServerRequest&, QTcpSocket*)
{
    // handleRequest answers every request itself.
}
