#pragma once

#include <QDateTime>
#include <QNetworkCookie>
#include <QString>

// The log form's clock runs on the clip's recording time: it is told the number of seconds between the
// moment the picture under the play head was recorded and the present moment.
namespace TimeOffset {

// present − (recording start + play head), rounded to whole seconds with halves away from zero; positive
// when the clip's moment lies in the past.
double secondsBetween(const QDateTime& present, const QDateTime& recordingStart, double playheadSeconds);

// The value as the cookie carries it: plain decimal with one zero after the point ("91.0", "-3.0"), a
// negative zero written "-0.0".
QString text(double secondsBetween);

// The "time_offset" cookie: path "/", no expiry (it lasts while the application runs). Its domain is left
// empty on purpose: stored for the origin https://<host>/, it goes to that host alone, whereas a domain
// without a dot would be widened to every subdomain.
QNetworkCookie cookie(double secondsBetween);

}
