#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class MpvCore;

// The player of one clip, on the player view's mpv core: it opens the file paused, keeps the last frame
// at the end instead of moving on, and seeks frame-accurately. Removing it stops the clip.
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
    double currentTime() const { return position; }
    double duration() const { return length; }
    double framesPerSecond() const { return fps; }
    // Whether the clip's first picture has reached the video output: from here on, frames drawn are
    // this clip's, not the previous one's.
    bool hasPicture() const { return picture; }
    // 0 while paused; negative while shuttling backwards.
    double rate() const { return playRate; }
    int volume() const { return volumePercent; }
    bool isMuted() const { return muted; }
    // Why the clip cannot be played, once the player has given up on it.
    const std::optional<QString>& failure() const { return failureText; }

public slots:
    void setRate(double rate);
    // To an absolute position, on the exact frame.
    void seek(double seconds);
    void seekBy(double seconds);
    // One frame forwards (1) or backwards (-1); stepping pauses.
    void stepFrame(int direction);
    void setVolume(int percent);
    void setMuted(bool mute);

signals:
    // Any of the values above changed.
    void changed();
    // The play head reached the end of the clip.
    void reachedEnd();
    void failed(const QString& reason);
    // The clip's first picture is ready to be drawn.
    void pictureReady();

private:
    // The core's reports about this player's file.
    friend class MpvCore;
    void opened(double duration, double framesPerSecond);
    void positionChanged(double seconds);
    void durationChanged(double seconds);
    void framesPerSecondChanged(double framesPerSecond);
    void pauseChanged(bool paused);
    void volumeChanged(double percent);
    void muteChanged(bool mute);
    void restarted();
    void ended();
    void fail(const QString& reason);

    void shuttleBackwards();

    MpvCore& core;
    QString filePath;
    double position = 0;
    double length = 0;
    double fps = 0;
    bool picture = false;
    int pendingSteps = 0; // frame steps pressed before the first picture was up
    double playRate = 0;
    int volumePercent = 100;
    bool muted = false;
    bool atEnd = false;
    std::optional<QString> failureText;

    // mpv plays forwards only; shuttling backwards is a run of exact seeks, one per tick.
    QTimer reverseTimer;
    QElapsedTimer reverseClock;
    double reversePosition = 0;
};
