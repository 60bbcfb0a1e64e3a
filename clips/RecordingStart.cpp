#include "clips/RecordingStart.h"

#include <QTimeZone>

namespace RecordingStart {

namespace {

    const QDateTime earliest(QDate(1990, 1, 1), QTime(0, 0), QTimeZone::utc());
    constexpr qint64 secondsOfGrace = 24 * 60 * 60;

}

std::optional<QDateTime> parse(QStringView text)
{
    QDateTime moment = QDateTime::fromString(text.trimmed().toString(), Qt::ISODateWithMs);
    if (!moment.isValid())
        return std::nullopt;
    if (moment.timeSpec() == Qt::LocalTime)
        moment.setTimeZone(QTimeZone::utc());
    return moment;
}

bool isPlausible(const QDateTime& moment, const QDateTime& now)
{
    return moment.isValid() && moment >= earliest && moment <= now.addSecs(secondsOfGrace);
}

std::optional<QDateTime> fromClip(const QStringList& dates, const QDateTime& now)
{
    for (const QString& text : dates) {
        const auto moment = parse(text);
        if (moment && isPlausible(*moment, now))
            return moment;
    }
    return std::nullopt;
}

Choice choose(const std::optional<QDateTime>& clipDate, const std::optional<QDateTime>& birthTime,
    const QDateTime& modificationTime, const QDateTime& now)
{
    if (clipDate && isPlausible(*clipDate, now))
        return { *clipDate, Source::Clip };
    if (birthTime && isPlausible(*birthTime, now))
        return { *birthTime, Source::BirthTime };
    return { modificationTime, Source::ModificationTime };
}

}
