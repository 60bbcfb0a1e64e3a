#pragma once

#include "logservice/HttpMessage.h"

#include <functional>

struct Route
{
    QByteArray method;
    QByteArray path;
    std::function<HttpResponse(const HttpRequest&)> respond;
};

// The answer of the route that matches the request's path exactly and its method: 404 when no route has the
// path, 405 with the methods it allows when the path is known but asked with another method.
HttpResponse route(const QList<Route>& routes, const HttpRequest& request);
