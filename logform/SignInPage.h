#pragma once

#include <QString>
#include <QUrl>

// The log service's sign-in page and the script that writes the account into it.

// The page's address: "https://", the log service's host, "/users/login".
QUrl signInPageURL(const QString& host);

// Whether a page's address is exactly the sign-in page: the host may be written in any case and with its
// port, but a query, a fragment, a trailing slash or another path make it another page.
bool isSignInPage(const QUrl& address, const QString& host);

// A script for the page: when the document has an element "sign_in", it writes `username` into the
// element "identity" and `password` into the element "password", each only where it exists. Both inputs
// are looked up before either is written. The page's sign-in control is never pressed. The two values
// enter the script as JSON string literals, so whatever they hold arrives as literal text.
QString signInFillScript(const QString& username, const QString& password);
