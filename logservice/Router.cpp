#include "logservice/Router.h"

Route Route::answering(
    const QByteArray& method, const QByteArray& path, std::function<HttpResponse(const HttpRequest&)> page)
{
    return { method, path, [page = std::move(page)](const HttpRequest& request, const HttpReply& reply) {
                reply.send(page(request));
            } };
}

void route(const QList<Route>& routes, const HttpRequest& request, const HttpReply& reply)
{
    QByteArrayList allowed;
    for (const Route& candidate : routes) {
        if (candidate.path != request.path)
            continue;
        if (candidate.method == request.method)
            return candidate.respond(request, reply);
        allowed.append(candidate.method);
    }
    if (allowed.isEmpty())
        return reply.send(HttpResponse::plainText(404, QStringLiteral("Not found.")));
    // HEAD is answered wherever GET is (the listener drops the body).
    if (allowed.contains("GET"))
        allowed.append("HEAD");
    HttpResponse response = HttpResponse::plainText(405, QStringLiteral("Method not allowed."));
    response.headers.append({ "Allow", allowed.join(", ") });
    reply.send(response);
}
