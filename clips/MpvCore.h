#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <unordered_map>

struct mpv_event;
struct mpv_event_property;
struct mpv_handle;
class MpvPlayer;

// The mpv core behind a player view, made once and kept: every clip the logger loads becomes a new
// MpvPlayer on it. Tearing a core down costs a tenth of a second and more (its renderer waits for the
// video chain to go), far too much for a selection change; replacing the file costs nothing.
//
// mpv reports from its own threads; the reports are read on the main thread and handed to the player
// whose file they concern: mpv names each load's playlist entry in its reply to the load, so a report
// about an earlier clip never reaches a later clip's player. A request that mpv refuses reaches the
// player it was made for as an error.
//
// A clip is a local file and nothing more: the core opens no network protocol, follows no playlist or
// reference inside a file, and reads each file only with the demuxer its type calls for, so that
// selecting a text file dressed as a clip fetches nothing and is refused.
class MpvCore : public QObject
{
    Q_OBJECT

public:
    explicit MpvCore(bool hardwareDecoding = true);
    ~MpvCore() override;

    // Nothing when the core could not start (then every player on it fails at once).
    mpv_handle* handle() const { return mpv; }

    // Opens `path` paused, forwards, at normal speed for `player`, which gets the reports from now on.
    void load(MpvPlayer* player, const QString& path);
    // Stops `player`'s file if it is the current one; `player` gets no more reports.
    void release(MpvPlayer* player);

    // Requests on behalf of the current player.
    void command(std::initializer_list<const char*> arguments);
    void setFlag(const char* property, bool value);
    void setNumber(const char* property, double value);
    void setText(const char* property, const char* value);
    // The direction mpv plays in: backwards is mpv's backward playback.
    void setBackward(bool backward);

    // Whether mpv may decode on the graphics card (it falls back to software by itself where it cannot).
    bool hardwareDecodingAllowed() const { return hardwareDecoding; }
    void setHardwareDecodingAllowed(bool allowed);
    // Decodes in software for now (true) or as allowed again (false), without changing what is allowed.
    void holdSoftwareDecoding(bool hold);

private:
    struct Request
    {
        qint64 load; // the load it was made for
        QString what; // how the logger reads it: "seek", "set play-dir"
        bool opensFile = false;
    };

    uint64_t track(const QString& what, bool opensFile = false);
    void refused(const Request& request, int error);
    void drainEvents();
    void remember(uint64_t property, const mpv_event_property& change);
    void reply(const mpv_event& event);
    void dispatch(const mpv_event& event, MpvPlayer& player);

    mpv_handle* mpv = nullptr;
    bool hardwareDecoding = true;
    bool softwareHeld = false;
    bool playingBackward = false; // as last asked
    // mpv may still hold a backward direction of its own: from backward playback to the first restart of
    // playback forwards.
    bool backwardHeld = false;
    // mpv ≥ 0.33 names the entry in its reply to loadfile; without the name, the next file that starts
    // is the one.
    bool adoptNextStart = false;
    MpvPlayer* current = nullptr;
    qint64 loads = 0; // the number of the current load
    qint64 currentEntry = -1; // its playlist entry, once mpv has named it
    bool currentStarted = false;
    // The requests waiting for their reply, by the number given to mpv.
    std::unordered_map<uint64_t, Request> requests;
    uint64_t lastRequest = 0;
    // The last value mpv reported for each observed property.
    std::map<uint64_t, double> latest;
    QString latestDecoder;
};
