#include "logservice/MakerSite.h"

#include "logservice/Pages.h"

MakerSite::MakerSite()
{
    for (const QString& fileName : { QStringLiteral("tapescribe.html"), QStringLiteral("glossary.html"),
             QStringLiteral("about.html") }) {
        const auto page = makerSitePage(fileName);
        m_routes.append({ "GET", '/' + fileName.toLatin1(),
            [page](const HttpRequest&) { return HttpResponse::html(page); } });
    }
}

HttpResponse MakerSite::respond(const HttpRequest& request) const
{
    return route(m_routes, request);
}
