#pragma once

#include <QtGlobal>

#include <optional>

// Reverse play by stepping: exact seeks back, one under way at a time, each to the frame the clock has
// reached, so that a slow decoder shows fewer frames instead of falling behind. It ends at the clip's
// first frame, or hands over to mpv's backward playback at a keyframe from which that can play.
class BackStepper
{
public:
    // From `from` (where the first seek goes), at `now` on the player's clock.
    BackStepper(double from, std::optional<double> handover, qint64 now);

    // The first seek, under way from the start.
    double from() const { return origin; }
    // The clock ticked: where to seek now, if anywhere. `frameOnShow` is the play head's frame.
    std::optional<double> tick(double rate, qint64 now, qint64 frameOnShow, double framesPerSecond);
    // The rate changes at `now`: the time so far counts at `oldRate`, the time from now at the new one.
    void changeRate(double oldRate, qint64 now);

    enum class Landing {
        None, // no seek of the stepper's was under way
        Onwards,
        HandOver, // at the keyframe: mpv's backward playback takes over
        AtStart,
    };
    // Playback restarted with the play head at `position`.
    Landing restarted(double position);
    bool seekUnderWay() const { return underWay; }

private:
    double origin;
    qint64 originTime;
    std::optional<double> handover;
    bool underWay = true;
};
