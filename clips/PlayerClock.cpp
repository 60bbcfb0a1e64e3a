#include "clips/PlayerClock.h"

QtPlayerClock::QtPlayerClock()
{
    clock.start();
    for (PlayerTimer timer :
        { PlayerTimer::BackwardStart, PlayerTimer::SteppingTick, PlayerTimer::StepLanding }) {
        QTimer& qtTimer = timers[index(timer)];
        qtTimer.setSingleShot(timer != PlayerTimer::SteppingTick);
        QObject::connect(&qtTimer, &QTimer::timeout, &qtTimer, [this, timer] {
            if (timedOut)
                timedOut(timer);
        });
    }
    setInterval(PlayerTimer::BackwardStart, backwardStartMilliseconds);
    setInterval(PlayerTimer::SteppingTick, steppingTickMilliseconds);
    setInterval(PlayerTimer::StepLanding, stepLandingMilliseconds);
}
