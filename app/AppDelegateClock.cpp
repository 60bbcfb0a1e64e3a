#include "app/AppDelegate.h"
#include "clips/MpvPlayer.h"
#include "clips/PlayerView.h"
#include "core/Console.h"
#include "logform/LogServiceAddress.h"
#include "logform/TimeOffset.h"

#include "core/BuildConfig.h"

// The log form's clock: the time offset cookie and the timer that keeps it current.

void AppDelegate::timerDidFire()
{
    consoleLine(QStringLiteral("timerDidFire"));
    setTimeOffsetCookie();
}

void AppDelegate::setTimeOffsetCookie()
{
    // Only meaningful while a clip is loaded; otherwise the cookie keeps its last value. The loaded record's
    // start is the moment that `mediaCreatedTime` writes.
    const MpvPlayer* player = playerView ? playerView->player() : nullptr;
    if (loadedAssetIndex < 0 || loadedAssetIndex >= assets.size() || !player || !logForm)
        return;

    const double secondsBetween = TimeOffset::secondsBetween(
        QDateTime::currentDateTimeUtc(), assets.at(loadedAssetIndex).start.moment, player->currentTime());
    consoleLine(QStringLiteral("setTimeOffsetCookie: secondsBetween = ") + TimeOffset::text(secondsBetween));

    const QNetworkCookie cookie = TimeOffset::cookie(secondsBetween);
    const QUrl origin = useLocalServer ? QUrl(QStringLiteral("http://localhost/"))
                                       : LogServiceAddress::origin(logServiceHost);
    logForm->setCookie(cookie, origin);
    // The web engine's store cannot be read back synchronously: the development build shows what it
    // has just given the local server.
    if (useLocalServer)
        consoleLine(QStringLiteral("cookies for %1: %2")
                        .arg(formURL.toString(), QString::fromLatin1(cookie.toRawForm())));
}
