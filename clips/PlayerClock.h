#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <array>
#include <functional>

// The player's timers, each a deadline or a pace.
enum class PlayerTimer {
    // mpv's backward playback may wait for ever on a clip it cannot play backwards: if its seek has not
    // come back by then, the player steps instead.
    BackwardStart,
    // Reverse play by stepping looks at the clock this often for the next frame to seek.
    SteppingTick,
    // A step whose landing never reports (a refused command) frees the arrow keys after this.
    StepLanding,
};

// Time as the player sees it: a monotonic clock in milliseconds and its timers. The program's runs on
// Qt's timers; the tests' runs when they say so.
class PlayerClock
{
public:
    virtual ~PlayerClock() = default;

    virtual qint64 now() const = 0;
    // Starts `timer` anew (a running one starts over); the pace repeats, the deadlines fire once.
    virtual void start(PlayerTimer timer) = 0;
    virtual void stop(PlayerTimer timer) = 0;
    virtual void setInterval(PlayerTimer timer, int milliseconds) = 0;

    // Called when a timer fires.
    std::function<void(PlayerTimer)> timedOut;

    // mpv's backward playback decodes a group of pictures or two before its first frame; on a slow
    // machine with large frames that takes a second or so. Well beyond it, the playback is taken to be
    // stuck.
    static constexpr int backwardStartMilliseconds = 3000;
    static constexpr int steppingTickMilliseconds = 10;
    // A frame step lands in well under this; one that has not, never will (mpv refused it).
    static constexpr int stepLandingMilliseconds = 1000;
};

class QtPlayerClock final : public PlayerClock
{
public:
    QtPlayerClock();

    qint64 now() const override { return clock.elapsed(); }
    void start(PlayerTimer timer) override { timers[index(timer)].start(); }
    void stop(PlayerTimer timer) override { timers[index(timer)].stop(); }
    void setInterval(PlayerTimer timer, int milliseconds) override
    {
        timers[index(timer)].setInterval(milliseconds);
    }

private:
    static size_t index(PlayerTimer timer) { return size_t(timer); }

    QElapsedTimer clock;
    std::array<QTimer, 3> timers;
};
