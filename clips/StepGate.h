#pragma once

#include <deque>
#include <optional>

// The arrow keys' steps (a frame, or with Shift a second), one at a time: a step is made once the one
// before it has landed. A key held down then steps as fast as the player shows frames, and once it is let
// go only the step under way is still to come: no backlog of stale steps. Separate presses made while a
// step is under way are kept in order, and a press that undoes the one waiting before it cancels it.
class StepGate
{
public:
    enum class Unit { Frame, Second };
    struct Step
    {
        int direction = 1; // -1 backwards, 1 forwards
        Unit unit = Unit::Frame;
        bool operator==(const Step&) const = default;
    };

    // A press of an arrow key: the step to make now, unless one is under way.
    std::optional<Step> press(Step step, bool autoRepeat);
    // The step under way has landed: the next one to make, if any.
    std::optional<Step> landed();
    // The held key was let go: the repeat waiting for its turn is dropped.
    void release();
    // Forgets every step (playback took over, or the clip went).
    void reset();

    bool busy() const { return underWay; }

private:
    // More presses than a logger makes in the time of a slow step; any beyond are dropped.
    static constexpr size_t maximumWaiting = 16;

    bool underWay = false;
    std::deque<Step> presses;
    std::optional<Step> repeat;
};
