#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

#include <optional>

// One note of a logger as the log service gives it.
struct LogNote
{
    qint64 id = 0; // the service's id; in a CSV download without ids, the note's row order
    // The recording time of the picture the note describes; none when no clip was loaded.
    std::optional<QDateTime> recordedAt;
    // The source gave the recording time without an offset from UTC, so it was taken as local time.
    bool recordedAtAssumedLocal = false;
    QDateTime writtenAt; // invalid when the source gave none that reads as a time
    QString text;

    bool operator==(const LogNote&) const = default;
};
