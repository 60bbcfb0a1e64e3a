#include "core/DateFormatter.h"

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

// Written digit by digit: a scan formats one of these per clip, and QDateTime::toString() with a format
// costs several times more than the listing itself.
QString formatted(const QDateTime& moment, int offsetSeconds)
{
    const QDateTime shifted = moment.toOffsetFromUtc(offsetSeconds);
    const QDate date = shifted.date();
    const QTime time = shifted.time();
    const int offsetMinutes = std::abs(offsetSeconds) / 60;
    char16_t text[25];
    const auto put = [&text](int position, int value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            text[position + i] = char16_t(u'0' + value % 10);
    };
    put(0, date.year(), 4);
    text[4] = u'-';
    put(5, date.month(), 2);
    text[7] = u'-';
    put(8, date.day(), 2);
    text[10] = u' ';
    put(11, time.hour(), 2);
    text[13] = u':';
    put(14, time.minute(), 2);
    text[16] = u':';
    put(17, time.second(), 2);
    text[19] = u' ';
    text[20] = offsetSeconds < 0 ? u'-' : u'+';
    put(21, offsetMinutes / 60, 2);
    put(23, offsetMinutes % 60, 2);
    return QString(reinterpret_cast<const QChar*>(text), 25);
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
