#include "clips/StepGate.h"

std::optional<StepGate::Step> StepGate::press(Step step, bool autoRepeat)
{
    if (!underWay) {
        underWay = true;
        return step;
    }
    if (autoRepeat) {
        repeat = step;
        return std::nullopt;
    }
    if (!presses.empty() && presses.back().unit == step.unit && presses.back().direction == -step.direction)
        presses.pop_back();
    else if (presses.size() < maximumWaiting)
        presses.push_back(step);
    return std::nullopt;
}

std::optional<StepGate::Step> StepGate::landed()
{
    if (!presses.empty()) {
        const Step next = presses.front();
        presses.pop_front();
        return next;
    }
    if (repeat) {
        const Step next = *repeat;
        repeat.reset();
        return next;
    }
    underWay = false;
    return std::nullopt;
}

void StepGate::release()
{
    repeat.reset();
}

void StepGate::reset()
{
    underWay = false;
    presses.clear();
    repeat.reset();
}
