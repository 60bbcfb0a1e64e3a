#include "account/SignOutPage.h"

#include "core/BuildConfig.h"

QUrl signOutPageURL()
{
    return QUrl(QStringLiteral("https://") + QLatin1String(BuildConfig::logServiceHost)
        + QStringLiteral("/index.php/users/logout"));
}
