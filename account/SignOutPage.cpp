#include "account/SignOutPage.h"

#include "BuildConfig.h"

QUrl signOutPageURL()
{
    return QUrl(QStringLiteral("https://") + QLatin1String(BuildConfig::logServiceHost)
        + QStringLiteral("/index.php/users/logout"));
}
