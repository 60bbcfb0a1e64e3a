#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// Reads and writes recording times in the one form tapeScribe uses: "yyyy-MM-dd HH:mm:ss ZZZ", for
// example "2016-03-01 14:05:09 +0000" (24-hour clock, the zone as a sign and four digits).
// Until that format is set, the formatter reads nothing, as a freshly made formatter would.
class DateFormatter {
public:
    static constexpr QStringView recordingTimeFormat = u"yyyy-MM-dd HH:mm:ss ZZZ";

    void setDateFormat(const QString& format) { dateFormat = format; }
    QString format() const { return dateFormat; }

    // The moment the text names (the zone in the text decides it), or nothing when the text is not
    // exactly in the format.
    std::optional<QDateTime> dateFromString(QStringView text) const;

    // The moment written in the format, in the given zone's offset from UTC (the local zone by default).
    QString stringFromDate(const QDateTime& moment) const;

    // A moment as the standard description tapeScribe stores with clips: the format, always in UTC.
    static QString standardDescription(const QDateTime& moment);

private:
    QString dateFormat;
};
