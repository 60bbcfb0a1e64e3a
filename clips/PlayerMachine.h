#pragma once

#include "clips/PlayerClock.h"
#include "clips/PlayerCore.h"
#include "clips/PlayerState.h"

#include <vector>

// What the logger asks of the player.
namespace Command {
struct SetRate
{
    double rate = 0;
};
// To an absolute position, on the exact frame; it ends a shuttle backwards.
struct Seek
{
    double seconds = 0;
};
struct Step
{
    StepGate::Step step;
    bool autoRepeat = false;
};
struct ReleaseStep
{
};
struct SetVolume
{
    int percent = 100;
};
struct SetMuted
{
    bool muted = false;
};
}
using PlayerCommand = std::variant<Command::SetRate, Command::Seek, Command::Step, Command::ReleaseStep,
    Command::SetVolume, Command::SetMuted>;

struct Timeout
{
    PlayerTimer timer;
};

using PlayerEvent = std::variant<PlayerCommand, CoreReport, Timeout>;

// What the player tells its owner.
namespace Output {
struct Changed
{
};
struct ReachedEnd
{
};
struct PictureReady
{
};
struct Failed
{
    QString reason;
};
// J steps back through a clip that cannot be played backwards.
struct SteppingBack
{
};
struct Refused
{
    CoreCommand command;
    QString reason;
};
}
using PlayerOutput = std::variant<Output::Changed, Output::ReachedEnd, Output::PictureReady, Output::Failed,
    Output::SteppingBack, Output::Refused>;

struct TimerOrder
{
    PlayerTimer timer;
    bool run = true; // started anew, or stopped
};

using PlayerEffect = std::variant<CoreRequest, TimerOrder, PlayerOutput>;

// The player's decisions: one state, changed by one transition for each event, which says what to ask of
// the engine, which timers to run and what to tell the player's owner, in the order it is to be done.
// Nothing here waits, draws or talks to mpv: the player carries the effects out.
class PlayerMachine
{
public:
    std::vector<PlayerEffect> handle(const PlayerEvent& event, qint64 now);
    const PlayerState& state() const { return current; }

private:
    void dispatch(const PlayerCommand& command);
    void dispatch(const CoreReport& report);
    void dispatch(const Timeout& timeout);

    void on(const Command::SetRate& command);
    void on(const Command::Seek& command);
    void on(const Command::Step& command);
    void on(const Command::ReleaseStep& command);
    void on(const Command::SetVolume& command);
    void on(const Command::SetMuted& command);
    void on(const Report::Opened& report);
    void on(const Report::Position& report);
    void on(const Report::Duration& report);
    void on(const Report::FramesPerSecond& report);
    void on(const Report::Volume& report);
    void on(const Report::Mute& report);
    void on(const Report::Decoder& report);
    void on(const Report::Restarted& report);
    void on(const Report::Ended& report);
    void on(const Report::Failed& report);
    void on(const Report::Refused& report);
    void on(const Report::ReachRead& report);

    void showFirstPicture();
    // The rates and the ways back: mpv's backward playback, stepping by exact seeks, and the direction
    // mpv plays in (PlayerMachineBackward.cpp).
    void applyRate(double rate);
    void startReverse(double rate);
    void enterBackward(double rate);
    void leaveBackward();
    void startStepping(double rate, double from, std::optional<double> handover);
    void leaveStepping();
    void reachedStart();
    void fallBackToStepping();
    void seekExactly(double seconds);
    void makeStep(const std::optional<FrameStepper::Move>& move);
    FrameStepper* frameStepper();
    FrameStepper::Playhead playhead() const;

    void ask(const CoreRequest& request) { effects.emplace_back(request); }
    void tell(const PlayerOutput& output) { effects.emplace_back(output); }
    void start(PlayerTimer timer) { effects.emplace_back(TimerOrder { timer, true }); }
    void stop(PlayerTimer timer) { effects.emplace_back(TimerOrder { timer, false }); }

    PlayerState current;
    qint64 now = 0;
    std::vector<PlayerEffect> effects;
};
