#include "app/DateFormatter.h"

namespace {

// The value of `count` decimal digits at `position`, or -1 when any of them is not a digit.
int digitsAt(QStringView text, qsizetype position, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[position + i];
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString formatted(const QDateTime& moment, int offsetSeconds)
{
    const QDateTime shifted = moment.toOffsetFromUtc(offsetSeconds);
    const int offsetMinutes = std::abs(offsetSeconds) / 60;
    return shifted.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "))
        + (offsetSeconds < 0 ? u'-' : u'+')
        + QStringLiteral("%1%2").arg(offsetMinutes / 60, 2, 10, QChar(u'0')).arg(offsetMinutes % 60, 2, 10, QChar(u'0'));
}

}

std::optional<QDateTime> DateFormatter::dateFromString(QStringView text) const
{
    // "yyyy-MM-dd HH:mm:ss +hhmm": 25 characters with fixed separators.
    if (dateFormat != recordingTimeFormat || text.size() != 25)
        return std::nullopt;
    for (const auto& [position, separator] : { std::pair { 4, u'-' }, { 7, u'-' }, { 10, u' ' }, { 13, u':' },
                                               { 16, u':' }, { 19, u' ' } }) {
        if (text[position] != separator)
            return std::nullopt;
    }
    const QChar sign = text[20];
    if (sign != u'+' && sign != u'-')
        return std::nullopt;

    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2), minute = digitsAt(text, 14, 2), second = digitsAt(text, 17, 2);
    const int zoneHours = digitsAt(text, 21, 2), zoneMinutes = digitsAt(text, 23, 2);
    if (zoneHours < 0 || zoneHours > 23 || zoneMinutes < 0 || zoneMinutes > 59)
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 0 || !date.isValid() || hour < 0 || minute < 0 || second < 0 || !time.isValid())
        return std::nullopt;

    const int offset = (sign == u'-' ? -1 : 1) * (zoneHours * 3600 + zoneMinutes * 60);
    return QDateTime(date, time, Qt::OffsetFromUTC, offset);
}

QString DateFormatter::stringFromDate(const QDateTime& moment) const
{
    if (dateFormat != recordingTimeFormat || !moment.isValid())
        return {};
    return formatted(moment, moment.toLocalTime().offsetFromUtc());
}

QString DateFormatter::standardDescription(const QDateTime& moment)
{
    return formatted(moment, 0);
}
