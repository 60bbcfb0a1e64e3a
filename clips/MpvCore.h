#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <map>

struct mpv_event;
struct mpv_event_property;
struct mpv_handle;
class MpvPlayer;

// The mpv core behind a player view, made once and kept: every clip the logger loads becomes a new
// MpvPlayer on it. Tearing a core down costs a tenth of a second and more (its renderer waits for the
// video chain to go), far too much for a selection change; replacing the file costs nothing.
//
// mpv reports from its own threads; the reports are read on the main thread and handed to the player
// whose file they concern. Each load is one playlist entry, numbered by mpv in the order of loading, so
// a report about an earlier clip never reaches a later clip's player.
class MpvCore : public QObject
{
    Q_OBJECT

public:
    MpvCore();
    ~MpvCore() override;

    // Nothing when the core could not start (then every player on it fails at once).
    mpv_handle* handle() const { return mpv; }

    // Opens `path` paused at normal speed for `player`, which gets the reports from now on.
    void load(MpvPlayer* player, const QString& path);
    // Stops `player`'s file if it is the current one; `player` gets no more reports.
    void release(MpvPlayer* player);

    void command(std::initializer_list<const char*> arguments);
    void setFlag(const char* property, bool value);
    void setNumber(const char* property, double value);

private:
    void drainEvents();
    void remember(uint64_t property, const mpv_event_property& change);
    void dispatch(const mpv_event& event, MpvPlayer& player);

    mpv_handle* mpv = nullptr;
    MpvPlayer* current = nullptr;
    qint64 currentEntry = 0;
    bool currentStarted = false;
    qint64 loads = 0;
    // The last value mpv reported for each observed property.
    std::map<uint64_t, double> latest;
};
