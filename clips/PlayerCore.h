#pragma once

#include "clips/BackwardReach.h"

#include <QString>

#include <variant>

// What a player asks of the engine that plays its clip, and what it hears back: typed, so that the
// player's decisions never hang on the wording of an mpv property or error. MpvCore is the engine of the
// program; the tests put a stand-in of their own in its place.

// The engine's requests, each as the logger's read-out names it when the engine refuses it.
enum class CoreCommand {
    Open,
    Stop,
    Pause,
    Speed,
    Direction,
    Seek,
    FrameStep,
    Volume,
    Mute,
    Decoder,
    StartTime,
    Demuxer,
    DemuxerOptions,
};
// As the notice names it: "seek", "frame-step", "set play-dir"…
QString commandName(CoreCommand command);

namespace Request {
struct Pause
{
    bool paused = true;
    bool operator==(const Pause&) const = default;
};
struct Speed
{
    double rate = 1;
    bool operator==(const Speed&) const = default;
};
// Backwards is mpv's backward playback; changing direction seeks to the frame on screen.
struct Direction
{
    bool backward = false;
    bool operator==(const Direction&) const = default;
};
// To the exact frame at `seconds` from the clip's start.
struct ExactSeek
{
    double seconds = 0;
    bool operator==(const ExactSeek&) const = default;
};
// One frame in the direction the engine plays in.
struct FrameStep
{
    bool operator==(const FrameStep&) const = default;
};
struct Volume
{
    int percent = 100;
    bool operator==(const Volume&) const = default;
};
struct Mute
{
    bool muted = false;
    bool operator==(const Mute&) const = default;
};
// Decodes in software for now (held) or as the logger allowed again.
struct SoftwareDecoding
{
    bool held = false;
    bool operator==(const SoftwareDecoding&) const = default;
};
// How far back the open clip can be played backwards: answered by Report::ReachRead.
struct ReadReach
{
    bool operator==(const ReadReach&) const = default;
};
}
using CoreRequest = std::variant<Request::Pause, Request::Speed, Request::Direction, Request::ExactSeek,
    Request::FrameStep, Request::Volume, Request::Mute, Request::SoftwareDecoding, Request::ReadReach>;

namespace Report {
struct Opened
{
    double duration = 0;
    double framesPerSecond = 0;
};
struct Position
{
    double seconds = 0;
};
struct Duration
{
    double seconds = 0;
};
struct FramesPerSecond
{
    double rate = 0;
};
struct Volume
{
    double percent = 0;
};
struct Mute
{
    bool muted = false;
};
// mpv's name of the hardware decoder at work; "no" or empty while it decodes in software.
struct Decoder
{
    QString name;
};
// Playback (re)started after the file opened, a seek, or a change of direction or decoder.
struct Restarted
{
};
// The play head reached the end in the direction the engine plays: the last frame, or backwards the first.
struct Ended
{
};
// The clip cannot be played, and why.
struct Failed
{
    QString reason;
};
struct Refused
{
    CoreCommand command = CoreCommand::Seek;
    QString reason;
};
struct ReachRead
{
    BackwardReach reach;
};
}
using CoreReport = std::variant<Report::Opened, Report::Position, Report::Duration, Report::FramesPerSecond,
    Report::Volume, Report::Mute, Report::Decoder, Report::Restarted, Report::Ended, Report::Failed,
    Report::Refused, Report::ReachRead>;

// A player on the core: it hears the reports about its own clip, and about no other.
class PlayerCoreListener
{
public:
    virtual void report(const CoreReport& report) = 0;

protected:
    ~PlayerCoreListener() = default;
};

class PlayerCore
{
public:
    virtual ~PlayerCore() = default;

    // Opens `path` paused, forwards, at normal speed for `listener`, which gets the reports from now on
    // (a refusal to open may come before this returns).
    void load(PlayerCoreListener& listener, const QString& path);
    // Stops `listener`'s file if it is the current one; `listener` gets no more reports.
    void release(PlayerCoreListener& listener);
    // On behalf of the current listener.
    virtual void request(const CoreRequest& request) = 0;

protected:
    virtual void open(const QString& path) = 0;
    virtual void stop() = 0;

    // The number of the current load: reports are handed on with the load they concern.
    qint64 currentLoad() const { return loads; }
    // Hands `report` to the listener of `load`, unless another clip has been loaded since or the
    // listener has gone.
    void report(qint64 load, const CoreReport& report);

private:
    PlayerCoreListener* current = nullptr;
    qint64 loads = 0;
};
