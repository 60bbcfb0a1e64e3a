#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

struct mpv_handle;
struct mpv_event;

// The player of one clip: an mpv core that opens the file paused, keeps the last frame at the end
// instead of moving on, and seeks frame-accurately. mpv reports from its own threads; every report is
// handed to the main thread, where this object's state and signals live.
class MpvPlayer : public QObject {
    Q_OBJECT

public:
    explicit MpvPlayer(const QString& path, QObject* parent = nullptr);
    ~MpvPlayer() override;

    // Opens the file; call it once the video surface holds this player, so that the first frame has
    // somewhere to go.
    void start();

    mpv_handle* handle() const { return mpv; }
    const QString& path() const { return filePath; }

    // The play head in seconds (0 until the clip has opened).
    double currentTime() const { return position; }
    double duration() const { return length; }
    double framesPerSecond() const { return fps; }
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

private:
    void drainEvents();
    void handle(const mpv_event& event);
    void command(std::initializer_list<const char*> arguments);
    void setFlag(const char* property, bool value);
    void shuttleBackwards();

    QString filePath;
    mpv_handle* mpv = nullptr;
    double position = 0;
    double length = 0;
    double fps = 0;
    double playRate = 0;
    int volumePercent = 100;
    bool muted = false;
    bool ended = false;
    std::optional<QString> failureText;

    // mpv plays forwards only; shuttling backwards is a run of exact seeks, one per tick.
    QTimer reverseTimer;
    QElapsedTimer reverseClock;
    double reversePosition = 0;
};
