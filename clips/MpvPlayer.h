#pragma once

#include "clips/BackwardReach.h"
#include "clips/StepGate.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <optional>

class MpvCore;

// The player of one clip, on the player view's mpv core: it opens the file paused, keeps the last frame
// at the end instead of moving on, and seeks frame-accurately. Removing it stops the clip.
//
// Backwards it plays with mpv's backward playback, which decodes each group of pictures once and shows
// it in reverse. Where that cannot work (past a clip's last keyframe, or a clip whose index is broken)
// it steps back with exact seeks, one at a time, at the pace of the clock.
class MpvPlayer : public QObject
{
    Q_OBJECT

public:
    MpvPlayer(MpvCore& core, const QString& path);
    ~MpvPlayer() override;

    // Opens the file; call it once the view shows this player, so that the first frame has somewhere
    // to go.
    void start();

    const QString& path() const { return filePath; }

    // The play head in seconds (0 until the clip has opened).
    double currentTime() const { return std::max(0.0, position); }
    double duration() const { return length; }
    double framesPerSecond() const { return fps; }
    // Whether the clip's first picture has reached the video output: from here on, frames drawn are
    // this clip's, not the previous one's.
    bool hasPicture() const { return picture; }
    // Whether a seek has gone to mpv and its frame is not up yet (the play head reads its target already).
    bool isSeeking() const { return seekUnderWay; }
    // 0 while paused; negative while shuttling backwards.
    double rate() const { return playRate; }
    int volume() const { return volumePercent; }
    bool isMuted() const { return muted; }
    // The hardware decoder mpv uses ("vaapi", "vdpau", "nvdec"…), empty while it decodes in software.
    const QString& hardwareDecoder() const { return decoderName; }
    // Why the clip cannot be played, once the player has given up on it.
    const std::optional<QString>& failure() const { return failureText; }
    // How long an arrow key's step may take to land before the next one goes ahead anyway (a second):
    // a step that mpv never answers must not hold the keys.
    void setStepLimit(int milliseconds) { stepWatchdog.setInterval(milliseconds); }

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
    // The core's reports about this player's file.
    friend class MpvCore;
    void opened(double duration, double framesPerSecond);
    void positionChanged(double seconds);
    void durationChanged(double seconds);
    void framesPerSecondChanged(double framesPerSecond);
    void volumeChanged(double percent);
    void muteChanged(bool mute);
    void decoderChanged(const QString& hwdecCurrent);
    void restarted();
    void ended();
    void fail(const QString& reason);
    void commandFailed(const QString& what, const QString& reason);

    enum class Reverse { None, Backward, Stepping };
    enum class Landing { None, NewFrame, Restart };

    qint64 frameIndex() const;
    void applyRate();
    void startReverse();
    void enterBackward();
    void leaveBackward();
    void startStepping(double from, std::optional<double> handover);
    void stepBackwards();
    void stopReverse();
    void reachedStart();
    void fallBackToStepping();
    void step(StepGate::Step step, bool autoRepeat);
    void makeSteps(std::optional<StepGate::Step> next);
    bool make(StepGate::Step step);
    void stepLanded();
    void seekExactly(double seconds);
    void tell(const QString& text);

    MpvCore& core;
    QString filePath;
    double position = 0;
    double length = 0;
    double fps = 0;
    bool picture = false;
    double playRate = 0;
    int volumePercent = 100;
    bool muted = false;
    bool atEnd = false;
    QString decoderName;
    std::optional<QString> failureText;
    std::optional<double> seekWanted; // asked for before the clip's first picture
    // An exact seek has gone to mpv and playback has not restarted after it. A frame step made meanwhile
    // would be lost: mpv drops it when the seek starts, or spends it on the seek's own frame.
    bool seekUnderWay = false;

    // Which way mpv plays (this player sets it), and how J plays backwards right now.
    bool backwardDirection = false;
    Reverse reverse = Reverse::None;
    // How far back the clip can be played with mpv, read in the background once the clip is open.
    QFutureWatcher<BackwardReach> reachReader;
    std::optional<BackwardReach> reach;
    bool steppingTold = false;
    // mpv's backward playback may wait for ever on a clip it cannot play backwards: if its seek has not
    // come back by then, the player steps instead.
    QTimer backwardWatchdog;

    // Reverse play by stepping: one exact seek under way at a time, its target taken from the clock, so
    // that a slow decoder shows fewer frames instead of falling behind.
    QTimer stepTimer;
    QElapsedTimer stepClock;
    double stepPosition = 0;
    bool stepSeekUnderWay = false;
    std::optional<double> handover; // where mpv's backward playback takes over

    // The arrow keys' steps.
    StepGate gate;
    std::optional<StepGate::Step> firstStep; // pressed before the clip's first picture was up
    Landing landing = Landing::None;
    qint64 landingFrom = 0;
    std::optional<qint64> aimedFrame; // where the last step of the run under way goes
    // A step whose landing never reports (a refused command) frees the keys after this.
    QTimer stepWatchdog;
};
