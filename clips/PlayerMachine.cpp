#include "clips/PlayerMachine.h"

#include <algorithm>
#include <cmath>

std::vector<PlayerEffect> PlayerMachine::handle(const PlayerEvent& event, qint64 time)
{
    now = time;
    std::visit([this](const auto& happened) { dispatch(happened); }, event);
    return std::exchange(effects, {});
}

void PlayerMachine::dispatch(const PlayerCommand& command)
{
    std::visit([this](const auto& asked) { on(asked); }, command);
}

void PlayerMachine::dispatch(const CoreReport& report)
{
    std::visit([this](const auto& reported) { on(reported); }, report);
}

void PlayerMachine::dispatch(const Timeout& timeout)
{
    switch (timeout.timer) {
    case PlayerTimer::BackwardStart:
        if (current.direction == PlayDirection::TurningBackward)
            fallBackToStepping();
        return;
    case PlayerTimer::SteppingTick:
        if (auto* stepping = std::get_if<Mode::SteppingBackward>(&current.mode)) {
            const qint64 frame = std::llround(std::max(0.0, current.position) * current.framesPerSecond);
            if (const auto target
                = stepping->stepper.tick(stepping->rate, now, frame, current.framesPerSecond))
                seekExactly(*target);
        }
        return;
    case PlayerTimer::StepLanding:
        if (auto* paused = std::get_if<Mode::Paused>(&current.mode))
            makeStep(paused->steps.timedOut(playhead()));
        return;
    }
}

void PlayerMachine::on(const Command::SetRate& command)
{
    if (current.failure())
        return;
    // Playback takes over from the arrow keys.
    stop(PlayerTimer::StepLanding);
    if (auto* opening = std::get_if<Mode::Opening>(&current.mode)) {
        // Applied once the first picture is up.
        opening->rate = command.rate;
        opening->steps = {};
    } else {
        applyRate(command.rate);
    }
    tell(Output::Changed {});
}

void PlayerMachine::on(const Command::Seek& command)
{
    if (current.failure())
        return;
    if (auto* opening = std::get_if<Mode::Opening>(&current.mode)) {
        opening->seek = command.seconds;
        return;
    }
    if (current.rate() < 0) {
        leaveStepping();
        ask(Request::Pause { true });
        current.mode = Mode::Paused {};
        tell(Output::Changed {});
    }
    if (FrameStepper* steps = frameStepper())
        steps->seeked();
    seekExactly(command.seconds);
}

void PlayerMachine::on(const Command::Step& command)
{
    if (current.failure())
        return;
    if (current.rate() != 0)
        on(Command::SetRate { 0 });
    FrameStepper* steps = frameStepper();
    if (!steps)
        return;
    const bool opening = std::holds_alternative<Mode::Opening>(current.mode);
    const auto move = steps->press(command.step, command.autoRepeat,
        opening ? std::nullopt : std::optional<FrameStepper::Playhead>(playhead()));
    if (!opening)
        makeStep(move);
}

void PlayerMachine::on(const Command::ReleaseStep&)
{
    if (FrameStepper* steps = frameStepper())
        steps->release();
}

void PlayerMachine::on(const Command::SetVolume& command)
{
    current.volume = std::clamp(command.percent, 0, 100);
    ask(Request::Volume { current.volume });
}

void PlayerMachine::on(const Command::SetMuted& command)
{
    current.muted = command.muted;
    ask(Request::Mute { command.muted });
}

void PlayerMachine::on(const Report::Opened& report)
{
    current.duration = report.duration;
    current.framesPerSecond = report.framesPerSecond;
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Position& report)
{
    current.position = report.seconds;
    if (auto* paused = std::get_if<Mode::Paused>(&current.mode); paused && paused->steps.awaitingLanding())
        makeStep(paused->steps.moved(playhead()));
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Duration& report)
{
    current.duration = report.seconds;
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::FramesPerSecond& report)
{
    current.framesPerSecond = report.rate;
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Volume& report)
{
    current.volume = int(std::lround(report.percent));
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Mute& report)
{
    current.muted = report.muted;
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Decoder& report)
{
    // mpv names the decoder while one is in use, and says "no" (or nothing) while it decodes in software.
    const QString name = report.name == QLatin1String("no") ? QString() : report.name;
    if (name == current.decoder)
        return;
    current.decoder = name;
    tell(Output::Changed {});
}

void PlayerMachine::on(const Report::Restarted&)
{
    current.seeking = false;
    if (std::holds_alternative<Mode::Opening>(current.mode)) {
        showFirstPicture();
        return;
    }
    if (current.failure())
        return;
    // mpv's backward playback has come: it can play this clip backwards.
    if (current.direction == PlayDirection::TurningBackward) {
        current.direction = PlayDirection::Backward;
        stop(PlayerTimer::BackwardStart);
    }
    if (auto* stepping = std::get_if<Mode::SteppingBackward>(&current.mode)) {
        switch (stepping->stepper.restarted(current.position)) {
        case BackStepper::Landing::HandOver:
            enterBackward(stepping->rate);
            return;
        case BackStepper::Landing::AtStart:
            reachedStart();
            return;
        case BackStepper::Landing::None:
        case BackStepper::Landing::Onwards:
            return;
        }
    }
    if (auto* paused = std::get_if<Mode::Paused>(&current.mode); paused && paused->steps.awaitingLanding())
        makeStep(paused->steps.restarted(playhead()));
}

void PlayerMachine::showFirstPicture()
{
    Mode::Opening opening = std::move(std::get<Mode::Opening>(current.mode));
    current.mode = Mode::Paused { std::move(opening.steps) };
    ask(Request::ReadReach {});
    tell(Output::PictureReady {});
    if (opening.seek)
        seekExactly(*opening.seek);
    if (opening.rate != 0)
        applyRate(opening.rate);
    else
        makeStep(frameStepper()->resume(playhead()));
}

void PlayerMachine::on(const Report::Ended&)
{
    if (current.failure())
        return;
    // Backwards, the end is the clip's first frame: the shuttle stops there.
    if (current.direction != PlayDirection::Forward || current.rate() < 0) {
        reachedStart();
        return;
    }
    // Only playing reaches the end; a seek or a step that shows the last frame leaves the clip loaded.
    if (current.rate() <= 0)
        return;
    if (auto* opening = std::get_if<Mode::Opening>(&current.mode))
        opening->rate = 0;
    else
        current.mode = Mode::Paused {};
    tell(Output::ReachedEnd {});
}

void PlayerMachine::on(const Report::Failed& report)
{
    if (current.failure())
        return;
    stop(PlayerTimer::SteppingTick);
    stop(PlayerTimer::BackwardStart);
    stop(PlayerTimer::StepLanding);
    current.mode = Mode::Failed { report.reason, current.hasPicture() };
    tell(Output::Failed { report.reason });
}

void PlayerMachine::on(const Report::Refused& report)
{
    tell(Output::Refused { report.command, report.reason });
    switch (report.command) {
    case CoreCommand::Direction:
        // An mpv that will not play backwards: stepping takes over.
        if (current.direction == PlayDirection::Forward)
            return;
        current.direction = PlayDirection::Forward;
        stop(PlayerTimer::BackwardStart);
        if (std::holds_alternative<Mode::PlayingBackward>(current.mode))
            fallBackToStepping();
        return;
    case CoreCommand::Seek:
    case CoreCommand::FrameStep:
        // A refused step will not land: the keys are free again, counting from the frame on show.
        if (auto* paused = std::get_if<Mode::Paused>(&current.mode);
            paused && paused->steps.awaitingLanding())
            makeStep(paused->steps.refused(playhead()));
        // Stepping backwards stops where it is rather than asking again and again.
        if (auto* stepping = std::get_if<Mode::SteppingBackward>(&current.mode);
            stepping && stepping->stepper.seekUnderWay()) {
            leaveStepping();
            current.mode = Mode::Paused {};
            tell(Output::Changed {});
        }
        return;
    default:
        return;
    }
}

void PlayerMachine::on(const Report::ReachRead& report)
{
    current.reach = report.reach;
    // J pressed before the index was read plays backwards now.
    if (const auto* awaiting = std::get_if<Mode::AwaitingReach>(&current.mode))
        startReverse(awaiting->rate);
}

void PlayerMachine::seekExactly(double seconds)
{
    // An exact seek is made forwards: backwards mpv lands off the frame after B-frames.
    leaveBackward();
    const double limit = current.duration > 0 ? current.duration : seconds;
    current.seeking = true;
    ask(Request::ExactSeek { std::max(0.0, std::min(seconds, limit)) });
}

void PlayerMachine::makeStep(const std::optional<FrameStepper::Move>& move)
{
    if (!move) {
        if (const FrameStepper* steps = frameStepper(); !steps || !steps->awaitingLanding())
            stop(PlayerTimer::StepLanding);
        return;
    }
    if (const auto* seek = std::get_if<Request::ExactSeek>(&*move))
        seekExactly(seek->seconds);
    else
        ask(Request::FrameStep {});
    start(PlayerTimer::StepLanding);
}

FrameStepper* PlayerMachine::frameStepper()
{
    if (auto* paused = std::get_if<Mode::Paused>(&current.mode))
        return &paused->steps;
    if (auto* opening = std::get_if<Mode::Opening>(&current.mode))
        return &opening->steps;
    return nullptr;
}

FrameStepper::Playhead PlayerMachine::playhead() const
{
    return { current.position, current.duration, current.framesPerSecond,
        current.direction != PlayDirection::Forward, current.seeking };
}
