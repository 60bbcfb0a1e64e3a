#pragma once

#include "logservice/HttpMessage.h"

#include <functional>

struct Route
{
    QByteArray method;
    QByteArray path;
    std::function<void(const HttpRequest&, const HttpReply&)> respond;

    // A route whose page answers at once.
    static Route answering(const QByteArray& method, const QByteArray& path,
        std::function<HttpResponse(const HttpRequest&)> page);
};

// Hands the request to the route that matches its path exactly and its method: answers 404 when no route
// has the path, 405 with the methods it allows when the path is known but asked with another method.
void route(const QList<Route>& routes, const HttpRequest& request, const HttpReply& reply);
