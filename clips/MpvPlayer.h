#pragma once

#include "clips/PlayerClock.h"
#include "clips/PlayerCore.h"
#include "clips/PlayerMachine.h"

#include <QObject>
#include <QString>

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>

// The player of one clip, on the player view's core: it opens the file paused, keeps the last frame at
// the end instead of moving on, and seeks frame-accurately. Removing it stops the clip.
//
// Backwards it plays with mpv's backward playback, which decodes each group of pictures once and shows
// it in reverse. Where that cannot work (past a clip's last keyframe, or a clip whose index is broken)
// it steps back with exact seeks, one at a time, at the pace of the clock.
//
// What it does is decided by PlayerMachine; this carries the decisions out: it hands the core's reports,
// the logger's commands and the clock's timers to the machine one at a time, and does what each asks.
class MpvPlayer : public QObject, private PlayerCoreListener
{
    Q_OBJECT

public:
    // `clock` is Qt's unless given.
    MpvPlayer(PlayerCore& core, const QString& path, std::unique_ptr<PlayerClock> clock = nullptr);
    ~MpvPlayer() override;

    // Opens the file; call it once the view shows this player, so that the first frame has somewhere
    // to go.
    void start();

    const QString& path() const { return filePath; }

    // The play head in seconds (0 until the clip has opened).
    double currentTime() const { return std::max(0.0, state().position); }
    double duration() const { return state().duration; }
    double framesPerSecond() const { return state().framesPerSecond; }
    // Whether the clip's first picture has reached the video output: from here on, frames drawn are
    // this clip's, not the previous one's.
    bool hasPicture() const { return state().hasPicture(); }
    // Whether a seek has gone to mpv and its frame is not up yet (the play head reads its target already).
    bool isSeeking() const { return state().seeking; }
    // 0 while paused; negative while shuttling backwards.
    double rate() const { return state().rate(); }
    int volume() const { return state().volume; }
    bool isMuted() const { return state().muted; }
    // The hardware decoder mpv uses ("vaapi", "vdpau", "nvdec"…), empty while it decodes in software.
    const QString& hardwareDecoder() const { return state().decoder; }
    // Why the clip cannot be played, once the player has given up on it.
    std::optional<QString> failure() const { return state().failure(); }
    // How long an arrow key's step may take to land before the next one goes ahead anyway (a second):
    // a step that mpv never answers must not hold the keys.
    void setStepLimit(int milliseconds) { clock->setInterval(PlayerTimer::StepLanding, milliseconds); }

    const PlayerState& state() const { return machine.state(); }

public slots:
    void setRate(double rate);
    // To an absolute position, on the exact frame; it ends a shuttle backwards.
    void seek(double seconds);
    void seekBy(double seconds);
    // One frame, or one second, forwards (1) or backwards (-1); stepping pauses. A repeat of a held key
    // steps only once the step before has landed.
    void stepFrame(int direction, bool autoRepeat = false);
    void stepSeconds(int direction, bool autoRepeat = false);
    // The held arrow key was let go.
    void releaseStep();
    void setVolume(int percent);
    void setMuted(bool mute);

signals:
    // Any of the values above changed.
    void changed();
    // Playing forwards, the play head reached the end of the clip.
    void reachedEnd();
    void failed(const QString& reason);
    // The clip's first picture is ready to be drawn.
    void pictureReady();
    // Something the logger should read in the player's read-out: a command mpv refused, or that the
    // clip is played backwards by stepping.
    void notice(const QString& text);

private:
    void report(const CoreReport& report) override;
    void handle(const PlayerEvent& event);
    // False when the player was removed by whoever heard it.
    bool perform(const PlayerEffect& effect);
    void emitOutput(const PlayerOutput& output);

    PlayerCore& core;
    QString filePath;
    std::unique_ptr<PlayerClock> clock;
    PlayerMachine machine;
    // Events that come while one is being handled (a request the core refuses at once, a slot called from
    // a signal) wait for it: each transition runs to its end before the next begins.
    std::deque<PlayerEvent> pending;
};
