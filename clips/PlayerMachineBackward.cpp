#include "clips/PlayerMachine.h"

#include <algorithm>

void PlayerMachine::applyRate(double rate)
{
    if (rate > 0) {
        leaveStepping();
        leaveBackward();
        ask(Request::Speed { rate });
        ask(Request::Pause { false });
        current.mode = Mode::Playing { rate };
    } else if (rate == 0) {
        // Paused backwards, mpv keeps the frames it has decoded: the next ← costs nothing.
        leaveStepping();
        ask(Request::Pause { true });
        current.mode = Mode::Paused {};
    } else if (auto* backward = std::get_if<Mode::PlayingBackward>(&current.mode)) {
        backward->rate = rate;
        ask(Request::Speed { -rate });
    } else if (auto* stepping = std::get_if<Mode::SteppingBackward>(&current.mode)) {
        // A new speed from the frame the clock has reached: the time so far went by at the old one.
        stepping->stepper.changeRate(stepping->rate, now);
        stepping->rate = rate;
    } else if (auto* awaiting = std::get_if<Mode::AwaitingReach>(&current.mode)) {
        awaiting->rate = rate;
    } else {
        startReverse(rate);
    }
}

void PlayerMachine::startReverse(double rate)
{
    // Without the clip's index the way back is not known yet; it starts when the index has been read.
    if (!current.reach) {
        current.mode = Mode::AwaitingReach { rate };
        return;
    }
    const ReverseRoute route = reverseRoute(*current.reach, std::max(0.0, current.position));
    switch (route.way) {
    case ReverseRoute::Way::Backward:
        enterBackward(rate);
        return;
    case ReverseRoute::Way::StepToKeyframe:
        startStepping(rate, route.from, route.handover);
        return;
    case ReverseRoute::Way::Step:
        if (!std::exchange(current.steppingTold, true))
            tell(Output::SteppingBack {});
        startStepping(rate, route.from, std::nullopt);
        return;
    }
}

void PlayerMachine::enterBackward(double rate)
{
    leaveStepping();
    if (current.direction == PlayDirection::Forward) {
        // Decoded frames are held for showing in reverse: in a graphics card's memory they would
        // exhaust it. (Changing the decoder costs a restart of decoding: only when it changes.)
        if (!current.decoder.isEmpty())
            ask(Request::SoftwareDecoding { true });
        current.direction = PlayDirection::TurningBackward;
        start(PlayerTimer::BackwardStart);
        // Changing direction seeks to the frame on screen, in the new direction.
        ask(Request::Direction { true });
    }
    ask(Request::Speed { -rate });
    ask(Request::Pause { false });
    current.mode = Mode::PlayingBackward { rate };
}

void PlayerMachine::leaveBackward()
{
    if (current.direction == PlayDirection::Forward)
        return;
    current.direction = PlayDirection::Forward;
    stop(PlayerTimer::BackwardStart);
    ask(Request::Direction { false });
    ask(Request::SoftwareDecoding { false });
}

void PlayerMachine::startStepping(double rate, double from, std::optional<double> handover)
{
    leaveBackward();
    ask(Request::Pause { true });
    current.mode = Mode::SteppingBackward { rate, BackStepper(from, handover, now) };
    seekExactly(from);
    start(PlayerTimer::SteppingTick);
}

void PlayerMachine::leaveStepping()
{
    if (std::holds_alternative<Mode::SteppingBackward>(current.mode))
        stop(PlayerTimer::SteppingTick);
}

void PlayerMachine::reachedStart()
{
    leaveStepping();
    // Forwards again at the first frame: its seek costs a single keyframe.
    leaveBackward();
    ask(Request::Pause { true });
    if (auto* opening = std::get_if<Mode::Opening>(&current.mode))
        opening->rate = 0;
    else if (!std::holds_alternative<Mode::Paused>(current.mode))
        current.mode = Mode::Paused {};
    tell(Output::Changed {});
}

void PlayerMachine::fallBackToStepping()
{
    // mpv would wait for ever; a forward seek to the frame on screen replaces its backward one.
    current.reach = BackwardReach { BackwardReach::Index::Broken };
    leaveBackward();
    if (current.rate() < 0)
        startReverse(current.rate());
    else
        seekExactly(std::max(0.0, current.position));
}
