#pragma once

#include "support/Statistics.h"

#include <QRegularExpression>
#include <QString>

#include <optional>
#include <vector>

struct xcb_connection_t;

// Watches the X display for top-level windows being mapped, and tells when a window of a given title was.
// The time is the moment the server's notice arrives, read within a millisecond: no program is started to
// ask, as xdotool would be, so the watching takes nothing from the launch it measures.
class WindowMaps
{
public:
    WindowMaps();
    ~WindowMaps();
    WindowMaps(const WindowMaps&) = delete;
    WindowMaps& operator=(const WindowMaps&) = delete;

    bool isConnected() const { return connection != nullptr; }
    // Reads the notices that have arrived; returns at once.
    void read();
    // When a window whose title matches `title` was mapped since `since`, as far as read() has seen.
    std::optional<Bench::Clock::time_point> mapped(
        const QRegularExpression& title, Bench::Clock::time_point since) const;

private:
    QString titleOf(unsigned window) const;

    struct Map
    {
        Bench::Clock::time_point when;
        QString title;
    };
    xcb_connection_t* connection = nullptr;
    // The atom that names a window's title property; none (0) reads no title.
    unsigned titleAtom = 0;
    std::vector<Map> maps;
};
