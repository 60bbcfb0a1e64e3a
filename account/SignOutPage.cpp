#include "account/SignOutPage.h"

#include "core/LogServiceAddress.h"

QUrl signOutPageURL(const QString& host)
{
    return LogServiceAddress::page(host, QStringLiteral("/index.php/users/logout"));
}
