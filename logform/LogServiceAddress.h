#pragma once

#include <QString>
#include <QUrl>

// Addresses on the log service's host. The host is a build-time text and may come in any form a person
// writes it: with capitals ("Logs.Example.test") or with a port ("logs.example.test:8443"). Addresses are
// therefore made and compared as URLs, never as texts, so that the web view's own spelling of an address
// (host in lower case, a default port left out) names the same page.
namespace LogServiceAddress {

// https://<host><path>; invalid when the host is not a valid authority.
QUrl page(const QString& host, const QString& path);

// https://<host>/, the origin that the service's cookies are stored for.
QUrl origin(const QString& host);

// Whether two addresses name the same page: scheme, host, port, path, query and fragment all alike once
// both are normalised (host case, the scheme's default port written out or not). The path stays
// case-sensitive, and a query, a fragment or a trailing slash makes another page.
bool samePage(const QUrl& first, const QUrl& second);

}
