#pragma once

#include "logservice/HttpMessage.h"
#include "logservice/Router.h"

// The maker's web site pages over plain HTTP: help, glossary and about.
class MakerSite
{
public:
    MakerSite();

    void respond(const HttpRequest& request, const HttpReply& reply) const;

private:
    QList<Route> m_routes;
};
