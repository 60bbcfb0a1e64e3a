#pragma once

#include <QString>
#include <QUrl>

// The log service's sign-out page; loading it ends the web view's session, so that the service's
// sign-in page comes back and is filled with the account just saved.
QUrl signOutPageURL(const QString& host);
