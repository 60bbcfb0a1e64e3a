#include "logform/LogServiceAddress.h"

namespace {

// QUrl keeps an explicit port even when it is the scheme's default, which a browser drops.
QUrl withoutDefaultPort(QUrl url)
{
    if (url.port() == 443 && url.scheme() == QLatin1String("https"))
        url.setPort(-1);
    if (url.port() == 80 && url.scheme() == QLatin1String("http"))
        url.setPort(-1);
    return url;
}

}

QUrl LogServiceAddress::page(const QString& host, const QString& path)
{
    // Parsed as a whole, so that a port in the host text becomes the URL's port, not part of its host name.
    return QUrl(QStringLiteral("https://") + host + path, QUrl::StrictMode);
}

QUrl LogServiceAddress::origin(const QString& host)
{
    return page(host, QStringLiteral("/"));
}

bool LogServiceAddress::samePage(const QUrl& first, const QUrl& second)
{
    return first.isValid() && second.isValid() && withoutDefaultPort(first) == withoutDefaultPort(second);
}
