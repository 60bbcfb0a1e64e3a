#include "notes/NoteTime.h"

#include <cstdlib>

namespace NoteTime {

namespace {

    // The number in `count` digits at `at`, or -1.
    int number(QStringView text, qsizetype at, qsizetype count)
    {
        if (at + count > text.size())
            return -1;
        int value = 0;
        for (qsizetype i = at; i < at + count; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    }

    // The offset at the end of an ISO time ("Z", "+01:00", "+0100", "-05"), in seconds.
    std::optional<int> offsetSeconds(QStringView text)
    {
        if (text == u"Z" || text == u"z")
            return 0;
        if (text.size() < 3 || (text[0] != u'+' && text[0] != u'-'))
            return std::nullopt;
        const int hours = number(text, 1, 2);
        int minutes = 0;
        if (text.size() == 6 && text[3] == u':')
            minutes = number(text, 4, 2);
        else if (text.size() == 5)
            minutes = number(text, 3, 2);
        else if (text.size() != 3)
            return std::nullopt;
        if (hours < 0 || hours > 18 || minutes < 0 || minutes > 59)
            return std::nullopt;
        const int seconds = (hours * 60 + minutes) * 60;
        return text[0] == u'-' ? -seconds : seconds;
    }

}

std::optional<Reading> parse(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    // "yyyy-MM-ddTHH:mm:ss" is the least a time must give.
    if (trimmed.size() < 19 || trimmed[4] != u'-' || trimmed[7] != u'-' || trimmed[13] != u':'
        || trimmed[16] != u':' || (trimmed[10] != u'T' && trimmed[10] != u't' && trimmed[10] != u' '))
        return std::nullopt;
    const QDate date(number(trimmed, 0, 4), number(trimmed, 5, 2), number(trimmed, 8, 2));
    const int hours = number(trimmed, 11, 2), minutes = number(trimmed, 14, 2);
    const int seconds = number(trimmed, 17, 2);
    qsizetype at = 19;
    int milliseconds = 0;
    if (at < trimmed.size() && (trimmed[at] == u'.' || trimmed[at] == u',')) {
        const qsizetype first = ++at;
        while (at < trimmed.size() && trimmed[at] >= u'0' && trimmed[at] <= u'9')
            ++at;
        const qsizetype count = at - first;
        if (count == 0)
            return std::nullopt;
        // Beyond the millisecond the digits are cut off, not rounded: a note never moves to a later frame.
        milliseconds = number(trimmed, first, std::min<qsizetype>(count, 3));
        for (qsizetype i = count; i < 3; ++i)
            milliseconds *= 10;
    }
    const QTime time(hours, minutes, seconds, milliseconds);
    if (!date.isValid() || hours < 0 || minutes < 0 || seconds < 0 || !time.isValid())
        return std::nullopt;
    const QStringView zone = trimmed.mid(at);
    if (zone.isEmpty())
        return Reading { QDateTime(date, time, Qt::LocalTime), true };
    const auto offset = offsetSeconds(zone);
    if (!offset)
        return std::nullopt;
    return Reading { QDateTime(date, time, Qt::OffsetFromUTC, *offset), false };
}

QString text(const QDateTime& moment)
{
    if (!moment.isValid())
        return QString();
    // Written by hand: the writers put one on every marker, and QDateTime's own formatting costs
    // microseconds each.
    const int offset = moment.offsetFromUtc();
    const QDateTime wall = QDateTime::fromMSecsSinceEpoch(moment.toMSecsSinceEpoch() + offset * 1000LL, Qt::UTC);
    const QDate date = wall.date();
    const QTime time = wall.time();
    if (date.year() < 0 || date.year() > 9999)
        return moment.toOffsetFromUtc(offset).toString(Qt::ISODateWithMs);
    char16_t text[29];
    qsizetype size = 0;
    const auto put = [&](int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[size + i] = char16_t(u'0' + value % 10);
        size += digits;
    };
    const auto mark = [&](char16_t c) { text[size++] = c; };
    put(date.year(), 4), mark(u'-'), put(date.month(), 2), mark(u'-'), put(date.day(), 2), mark(u'T');
    put(time.hour(), 2), mark(u':'), put(time.minute(), 2), mark(u':'), put(time.second(), 2), mark(u'.');
    put(time.msec(), 3);
    if (offset == 0) {
        mark(u'Z');
    } else {
        mark(offset < 0 ? u'-' : u'+');
        const int minutes = std::abs(offset) / 60;
        put(minutes / 60, 2), mark(u':'), put(minutes % 60, 2);
    }
    return QString(reinterpret_cast<const QChar*>(text), size);
}

}
