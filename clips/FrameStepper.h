#pragma once

#include "clips/PlayerCore.h"
#include "clips/StepGate.h"

#include <QtGlobal>

#include <optional>
#include <variant>

// The arrow keys' steps on a paused clip: which of them to make when (StepGate), what to ask the engine
// for each, and when a step has landed. It decides; the player carries its moves out.
class FrameStepper
{
public:
    // Where the clip stands, as the steps need it.
    struct Playhead
    {
        double position = 0;
        double duration = 0;
        double framesPerSecond = 0;
        bool backward = false; // the engine plays backwards (its own step goes back)
        bool seeking = false; // an exact seek has not restarted playback yet
    };
    // A step to make: the engine's own frame step, or an exact seek (made forwards).
    using Move = std::variant<Request::FrameStep, Request::ExactSeek>;

    // A press; with no play head yet (the clip's first picture is not up) the step waits for resume().
    std::optional<Move> press(StepGate::Step step, bool autoRepeat, const std::optional<Playhead>& playhead);
    // The clip's first picture is up: the step pressed before it goes now.
    std::optional<Move> resume(const Playhead& playhead);
    // The play head moved: a frame step has landed once it shows another frame.
    std::optional<Move> moved(const Playhead& playhead);
    // Playback restarted: a seek has landed.
    std::optional<Move> restarted(const Playhead& playhead);
    // The engine refused the step under way: it will not land. The next counts from the frame on show.
    std::optional<Move> refused(const Playhead& playhead);
    // The step under way took too long: the next one goes ahead anyway.
    std::optional<Move> timedOut(const Playhead& playhead);
    // The play head was sent elsewhere: the next step counts from the frame it lands on.
    void seeked() { aimedFrame.reset(); }
    // The held arrow key was let go.
    void release() { gate.release(); }
    // Whether a step waits to land.
    bool awaitingLanding() const { return landing != Landing::None; }

private:
    enum class Landing { None, NewFrame, Restart };

    std::optional<Move> landed(const Playhead& playhead);
    std::optional<Move> makeSteps(std::optional<StepGate::Step> next, const Playhead& playhead);
    std::optional<Move> make(StepGate::Step step, const Playhead& playhead);

    StepGate gate;
    std::optional<StepGate::Step> early; // pressed before the clip's first picture was up
    Landing landing = Landing::None;
    qint64 landingFrom = 0;
    // Where the last step of the run under way goes: the steps of one run count from there, not from the
    // frame on show, so that a step that lands late on a busy machine (after the player gave up waiting
    // for it) does not make the run end a frame short.
    std::optional<qint64> aimedFrame;
};
