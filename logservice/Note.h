#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// One note of a logger: what was typed, the recording time of the picture it is about (none when no clip
// was loaded), and when it was written.
struct Note
{
    QString text;
    std::optional<QDateTime> recordedAt;
    QDateTime writtenAt;
};
