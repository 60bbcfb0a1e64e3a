#include "logservice/MakerSite.h"

#include "logservice/Pages.h"

MakerSite::MakerSite()
{
    for (const QString& fileName : { QStringLiteral("tapescribe.html"), QStringLiteral("glossary.html"),
             QStringLiteral("about.html") }) {
        const auto page = makerSitePage(fileName);
        m_routes.append(Route::answering("GET", '/' + fileName.toLatin1(),
            [page](const HttpRequest&) { return HttpResponse::html(page); }));
    }
}

void MakerSite::respond(const HttpRequest& request, const HttpReply& reply) const
{
    route(m_routes, request, reply);
}
