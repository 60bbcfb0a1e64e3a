#pragma once

#include "clips/BackStepper.h"
#include "clips/BackwardReach.h"
#include "clips/FrameStepper.h"

#include <QString>

#include <optional>
#include <variant>

// What the player is doing: exactly one of these at a time.
namespace Mode {
// Before the clip's first picture: mpv has no file to play yet, so a rate, a seek and an arrow key's
// step wait for it.
struct Opening
{
    double rate = 0;
    std::optional<double> seek;
    FrameStepper steps;
};
// Still, with the arrow keys' steps.
struct Paused
{
    FrameStepper steps;
};
struct Playing
{
    double rate = 1;
};
// J pressed before the clip's index was read: the way back is not known yet.
struct AwaitingReach
{
    double rate = -1;
};
// mpv's backward playback.
struct PlayingBackward
{
    double rate = -1;
};
// Reverse play by exact seeks, on the way to a keyframe or all the way.
struct SteppingBackward
{
    double rate = -1;
    BackStepper stepper;
};
// The clip cannot be played; the player takes no more commands.
struct Failed
{
    QString reason;
    bool picture = false; // whether the clip had shown its first picture
};
}
using PlayerMode = std::variant<Mode::Opening, Mode::Paused, Mode::Playing, Mode::AwaitingReach,
    Mode::PlayingBackward, Mode::SteppingBackward, Mode::Failed>;

// The way mpv plays, which outlasts the modes: paused after backward playback, mpv keeps the frames it
// decoded backwards, and the next ← costs nothing.
enum class PlayDirection {
    Forward,
    TurningBackward, // asked for; its seek has not come back yet
    Backward,
};

// The player's one state: its mode, and what it knows of the clip and of mpv.
struct PlayerState
{
    PlayerMode mode = Mode::Opening {};
    PlayDirection direction = PlayDirection::Forward;
    double position = 0;
    // An exact seek has gone to mpv and playback has not restarted from it: mpv reports the target as the
    // play head already, though the frame on show is still the old one.
    bool seeking = false;
    double duration = 0;
    double framesPerSecond = 0;
    int volume = 100;
    bool muted = false;
    QString decoder; // empty while mpv decodes in software
    // How far back the clip can be played with mpv, once read.
    std::optional<BackwardReach> reach;
    // The logger is told once per clip that J steps back through it.
    bool steppingTold = false;

    double rate() const;
    bool hasPicture() const;
    std::optional<QString> failure() const;
};
