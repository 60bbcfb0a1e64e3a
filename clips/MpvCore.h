#pragma once

#include "clips/MpvLoads.h"
#include "clips/PlayerCore.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <initializer_list>
#include <map>
#include <memory>

struct mpv_event;
struct mpv_event_property;
struct mpv_handle;
struct MpvLibrary;

// The mpv core behind a player view, made once and kept: every clip the logger loads becomes a new
// MpvPlayer on it. Tearing a core down costs a tenth of a second and more (its renderer waits for the
// video chain to go), far too much for a selection change; replacing the file costs nothing.
//
// mpv reports from its own threads; the reports are read on the main thread and handed to the player
// whose file they concern (MpvLoads), so a report about an earlier clip never reaches a later clip's
// player. A request that mpv refuses reaches the player it was made for as a refusal.
//
// A clip is a local file and nothing more: the core opens no network protocol, follows no playlist or
// reference inside a file, and reads each file only with the demuxer its type calls for, so that
// selecting a text file dressed as a clip fetches nothing and is refused.
class MpvCore : public QObject, public PlayerCore
{
    Q_OBJECT

public:
    explicit MpvCore(bool hardwareDecoding = true);
    ~MpvCore() override;

    // Nothing when the core could not start (then every player on it fails at once).
    mpv_handle* handle() const { return mpv; }

    void request(const CoreRequest& request) override;

    // Whether mpv may decode on the graphics card (it falls back to software by itself where it cannot).
    bool hardwareDecodingAllowed() const { return hardwareDecoding; }
    void setHardwareDecodingAllowed(bool allowed);

protected:
    void open(const QString& path) override;
    void stop() override;

private:
    void command(CoreCommand what, std::initializer_list<const char*> arguments);
    void setFlag(CoreCommand what, const char* property, bool value);
    void setNumber(CoreCommand what, const char* property, double value);
    void setText(CoreCommand what, const char* property, const char* value);
    // `format` is mpv's for `value`.
    void setProperty(CoreCommand what, const char* property, int format, void* value);
    void setBackward(bool backward);
    void holdSoftwareDecoding(bool hold);
    void readReach();
    void refused(const MpvLoads::Request& request, int error);
    void drainEvents();
    void remember(uint64_t property, const mpv_event_property& change);
    void reply(const mpv_event& event);
    void dispatch(const mpv_event& event);
    void propertyChanged(const mpv_event& event);

    // Null where libmpv could not be loaded; then there is no core either, and every request goes nowhere.
    MpvLibrary* library;
    mpv_handle* mpv = nullptr;
    bool hardwareDecoding = true;
    bool softwareHeld = false;
    bool playingBackward = false; // as last asked
    // mpv may still hold a backward direction of its own: from backward playback to the first restart of
    // playback forwards.
    bool backwardHeld = false;
    QString currentPath;
    MpvLoads loads;
    // The last value mpv reported for each observed property.
    std::map<uint64_t, double> latest;
    QString latestDecoder;
    // The current clip's index, read in the background.
    std::unique_ptr<QFutureWatcher<BackwardReach>> reachReader;
};
