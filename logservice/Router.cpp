#include "logservice/Router.h"

HttpResponse route(const QList<Route>& routes, const HttpRequest& request)
{
    QByteArrayList allowed;
    for (const Route& candidate : routes) {
        if (candidate.path != request.path)
            continue;
        if (candidate.method == request.method)
            return candidate.respond(request);
        allowed.append(candidate.method);
    }
    if (allowed.isEmpty())
        return HttpResponse::plainText(404, QStringLiteral("Not found."));
    // HEAD is answered wherever GET is (the listener drops the body).
    if (allowed.contains("GET"))
        allowed.append("HEAD");
    HttpResponse response = HttpResponse::plainText(405, QStringLiteral("Method not allowed."));
    response.headers.append({ "Allow", allowed.join(", ") });
    return response;
}
