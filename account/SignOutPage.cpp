#include "account/SignOutPage.h"

#include "logform/LogServiceAddress.h"

QUrl signOutPageURL(const QString& host)
{
    return LogServiceAddress::page(host, QStringLiteral("/index.php/users/logout"));
}
