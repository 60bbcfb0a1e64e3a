#include "clips/BackStepper.h"

#include <algorithm>
#include <cmath>

namespace {

double secondsBetween(qint64 from, qint64 to)
{
    return double(to - from) / 1000.0;
}

}

BackStepper::BackStepper(double from, std::optional<double> handoverAt, qint64 now)
    : origin(from)
    , originTime(now)
    , handover(handoverAt)
{
}

std::optional<double> BackStepper::tick(double rate, qint64 now, qint64 frameOnShow, double framesPerSecond)
{
    if (underWay)
        return std::nullopt;
    double target = std::max(0.0, origin + rate * secondsBetween(originTime, now));
    if (handover)
        target = std::max(target, *handover);
    // The frame on screen is still the one for the clock: nothing to seek yet. At the start and at the
    // handover the seek is made all the same: its landing ends the stepping.
    const bool end = target <= 0 || (handover && target == *handover);
    if (!end && std::llround(target * framesPerSecond) == frameOnShow)
        return std::nullopt;
    underWay = true;
    return target;
}

void BackStepper::changeRate(double oldRate, qint64 now)
{
    origin = std::max(0.0, origin + oldRate * secondsBetween(originTime, now));
    originTime = now;
}

BackStepper::Landing BackStepper::restarted(double position)
{
    if (!underWay)
        return Landing::None;
    underWay = false;
    if (handover && position <= *handover + 1e-6)
        return Landing::HandOver;
    if (position <= 0)
        return Landing::AtStart;
    return Landing::Onwards;
}
