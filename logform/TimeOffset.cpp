#include "logform/TimeOffset.h"

#include <cmath>

namespace TimeOffset {

double secondsBetween(const QDateTime& present, const QDateTime& recordingStart, double playheadSeconds)
{
    // Whole milliseconds on both sides keep the subtraction exact before the play head's fraction joins.
    const double sinceStart = double(recordingStart.msecsTo(present)) / 1000.0;
    return std::round(sinceStart - playheadSeconds);
}

QString text(double secondsBetween)
{
    const QString magnitude = QString::number(std::fabs(secondsBetween), 'f', 1);
    return std::signbit(secondsBetween) ? u'-' + magnitude : magnitude;
}

QNetworkCookie cookie(double secondsBetween)
{
    QNetworkCookie cookie(QByteArrayLiteral("time_offset"), text(secondsBetween).toLatin1());
    cookie.setPath(QStringLiteral("/"));
    return cookie;
}

}
