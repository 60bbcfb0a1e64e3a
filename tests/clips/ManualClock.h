#pragma once

#include "clips/PlayerClock.h"

#include <map>

// The player's clock in the tests: time goes by only when the test says so, and the timers fire on the
// way, in order, with the program's intervals unless the test sets others.
class ManualClock final : public PlayerClock
{
public:
    qint64 now() const override { return time; }
    void start(PlayerTimer timer) override { due[timer] = time + interval(timer); }
    void stop(PlayerTimer timer) override { due.erase(timer); }
    void setInterval(PlayerTimer timer, int milliseconds) override { intervals[timer] = milliseconds; }

    // Lets `milliseconds` go by.
    void advance(qint64 milliseconds);
    bool running(PlayerTimer timer) const { return due.contains(timer); }

private:
    int interval(PlayerTimer timer) const;

    qint64 time = 0;
    std::map<PlayerTimer, int> intervals;
    std::map<PlayerTimer, qint64> due;
};
