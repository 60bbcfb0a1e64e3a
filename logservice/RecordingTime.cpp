#include "logservice/RecordingTime.h"

#include <QRegularExpression>

#include <cmath>

std::optional<double> timeOffsetSeconds(const QByteArray& cookieValue)
{
    // At most ten digits of whole seconds (over three centuries): enough for any recording, and small
    // enough that the date arithmetic cannot overflow.
    static const QRegularExpression offset(QStringLiteral("^-?[0-9]{1,10}(\\.[0-9]{1,9})?$"));
    const QString text = QString::fromLatin1(cookieValue);
    if (!offset.match(text).hasMatch())
        return std::nullopt;
    return text.toDouble();
}

std::optional<QDateTime> recordingTime(
    const QDateTime& now, const std::optional<QByteArray>& timeOffsetCookie)
{
    if (!timeOffsetCookie)
        return std::nullopt;
    const auto seconds = timeOffsetSeconds(*timeOffsetCookie);
    if (!seconds)
        return std::nullopt;
    return now.addMSecs(-static_cast<qint64>(std::llround(*seconds * 1000.0)));
}

QString isoLocalTime(const QDateTime& moment)
{
    const QDateTime local = moment.toLocalTime();
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}
