#include "clips/FrameStepper.h"

#include <algorithm>
#include <cmath>

namespace {

qint64 frameAt(double seconds, double framesPerSecond)
{
    return std::llround(seconds * framesPerSecond);
}

}

std::optional<FrameStepper::Move> FrameStepper::press(
    StepGate::Step step, bool autoRepeat, const std::optional<Playhead>& playhead)
{
    const auto now = gate.press(step, autoRepeat);
    // Before the first picture is up, mpv would spend a step on showing it: keep the step for then.
    if (now && !playhead) {
        early = now;
        return std::nullopt;
    }
    return now ? makeSteps(now, *playhead) : std::nullopt;
}

std::optional<FrameStepper::Move> FrameStepper::resume(const Playhead& playhead)
{
    return early ? makeSteps(std::exchange(early, std::nullopt), playhead) : std::nullopt;
}

std::optional<FrameStepper::Move> FrameStepper::moved(const Playhead& playhead)
{
    if (landing == Landing::NewFrame && frameAt(playhead.position, playhead.framesPerSecond) != landingFrom)
        return landed(playhead);
    return std::nullopt;
}

std::optional<FrameStepper::Move> FrameStepper::restarted(const Playhead& playhead)
{
    return landing == Landing::Restart ? landed(playhead) : std::nullopt;
}

std::optional<FrameStepper::Move> FrameStepper::refused(const Playhead& playhead)
{
    if (landing == Landing::None)
        return std::nullopt;
    aimedFrame.reset();
    return landed(playhead);
}

std::optional<FrameStepper::Move> FrameStepper::timedOut(const Playhead& playhead)
{
    return landed(playhead);
}

std::optional<FrameStepper::Move> FrameStepper::landed(const Playhead& playhead)
{
    landing = Landing::None;
    return makeSteps(gate.landed(), playhead);
}

std::optional<FrameStepper::Move> FrameStepper::makeSteps(
    std::optional<StepGate::Step> next, const Playhead& playhead)
{
    // A step with nowhere to go (before the first frame, after the last) lands at once.
    while (next) {
        if (auto move = make(*next, playhead))
            return move;
        next = gate.landed();
    }
    // The run is over: the next press counts from the frame on show.
    aimedFrame.reset();
    return std::nullopt;
}

std::optional<FrameStepper::Move> FrameStepper::make(StepGate::Step step, const Playhead& playhead)
{
    const double fps = playhead.framesPerSecond;
    const qint64 frame = aimedFrame.value_or(frameAt(std::max(0.0, playhead.position), fps));
    const qint64 lastFrame = std::max<qint64>(0, frameAt(playhead.duration, fps) - 1);
    if (step.unit == StepGate::Unit::Second) {
        if (fps <= 0)
            return std::nullopt;
        const double from = aimedFrame ? double(*aimedFrame) / fps : std::max(0.0, playhead.position);
        const double target = std::clamp(from + step.direction, 0.0, double(lastFrame) / fps);
        if (frameAt(target, fps) == frame)
            return std::nullopt;
        landing = Landing::Restart;
        aimedFrame = frameAt(target, fps);
        return Request::ExactSeek { target };
    }
    if (fps <= 0 || (step.direction < 0 ? frame <= 0 : frame >= lastFrame))
        return std::nullopt;
    aimedFrame = frame + step.direction;
    if ((step.direction < 0) == playhead.backward && !playhead.seeking) {
        // mpv's own step goes one frame in its direction: forwards it decodes one more frame; backwards
        // it takes the next of the frames it has decoded for showing in reverse.
        landing = Landing::NewFrame;
        landingFrom = frame;
        return Request::FrameStep {};
    }
    // Against mpv's direction, or ahead of a seek that has not landed (mpv drops a step that reaches it
    // then: the seek clears it, or the seek's own frame is taken for it): an exact seek to the
    // neighbouring frame, which decodes from the keyframe before it and takes the place of the seek under
    // way. (mpv's own back step decodes as much, and lands off the frame after B-frames.)
    landing = Landing::Restart;
    return Request::ExactSeek { double(*aimedFrame) / fps };
}
