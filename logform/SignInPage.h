#pragma once

#include <QString>

// The log service's sign-in page and the script that writes the account into it.

// The page's address as text: "https://", the log service's host, "/users/login". A page is the sign-in
// page only when its address is exactly this text.
QString signInPageURL();

// A script for the page: when the document has an element "sign_in", it writes `username` into the
// element "identity" and `password` into the element "password", each only where it exists. Both inputs
// are looked up before either is written. The page's sign-in control is never pressed. The two values
// enter the script as JSON string literals, so whatever they hold arrives as literal text.
QString signInFillScript(const QString& username, const QString& password);
