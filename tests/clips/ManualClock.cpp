#include "ManualClock.h"

#include <algorithm>

void ManualClock::advance(qint64 milliseconds)
{
    const qint64 until = time + milliseconds;
    while (true) {
        const auto next = std::min_element(
            due.begin(), due.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        if (next == due.end() || next->second > until)
            break;
        const PlayerTimer timer = next->first;
        time = next->second;
        if (timer == PlayerTimer::SteppingTick)
            next->second += interval(timer);
        else
            due.erase(next);
        if (timedOut)
            timedOut(timer);
    }
    time = until;
}

int ManualClock::interval(PlayerTimer timer) const
{
    if (const auto found = intervals.find(timer); found != intervals.end())
        return found->second;
    switch (timer) {
    case PlayerTimer::BackwardStart:
        return backwardStartMilliseconds;
    case PlayerTimer::SteppingTick:
        return steppingTickMilliseconds;
    case PlayerTimer::StepLanding:
        return stepLandingMilliseconds;
    }
    return 0;
}
