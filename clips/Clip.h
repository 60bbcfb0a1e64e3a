#pragma once

#include <QString>

// One clip found by a scan: its file name, its full path, and its recording start ("created"), written as
// "yyyy-MM-dd HH:mm:ss +0000" in UTC.
struct Clip
{
    QString name;
    QString path;
    QString created;

    bool operator==(const Clip&) const = default;
};
