#include "logservice/RequestSite.h"

#include <QUrl>

namespace {

constexpr int httpsPort = 443;

// Scheme, host and port as the browser writes an origin; nothing for anything else (a path, user info,
// "null" for an opaque origin).
std::optional<QUrl> httpsOrigin(const QByteArray& text)
{
    const QUrl url(QString::fromLatin1(text), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"https" || url.host().isEmpty() || !url.userInfo().isEmpty()
        || !url.path().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return url;
}

bool isOwnOrigin(const QByteArray& origin, const QByteArrayList& hosts)
{
    if (hosts.size() != 1 || hosts.first().isEmpty())
        return false;
    const auto claimed = httpsOrigin(origin);
    const auto own = httpsOrigin("https://" + hosts.first());
    return claimed && own && claimed->host() == own->host()
        && claimed->port(httpsPort) == own->port(httpsPort);
}

}

RequestSite requestSite(const HttpRequest& request)
{
    const QByteArrayList fetchSites = request.headerValues("Sec-Fetch-Site");
    const QByteArrayList origins = request.headerValues("Origin");
    if (fetchSites.size() > 1 || origins.size() > 1)
        return RequestSite::Foreign;
    // A browser that says Sec-Fetch-Site is believed: its Origin may be "null" on the service's own pages
    // (a referrer policy that sends none makes it so), while Sec-Fetch-Site always names the initiator.
    if (!fetchSites.isEmpty())
        return fetchSites.first() == "same-origin" || fetchSites.first() == "none" ? RequestSite::Own
                                                                                   : RequestSite::Foreign;
    if (!origins.isEmpty())
        return isOwnOrigin(origins.first(), request.headerValues("Host")) ? RequestSite::Own
                                                                          : RequestSite::Foreign;
    return RequestSite::Unsaid;
}
