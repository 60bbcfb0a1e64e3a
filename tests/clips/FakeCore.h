#pragma once

#include "clips/PlayerCore.h"

#include <QStringList>

#include <set>
#include <string>
#include <vector>

// The engine under a player in the tests: it notes what the player asks, and says what the test tells it
// to, as mpv would. Requests it is told to refuse are refused at once, as mpv refuses a command it
// cannot parse.
class FakeCore final : public PlayerCore
{
public:
    void request(const CoreRequest& request) override;

    // What the players asked since the last call, one line each: "pause", "play", "speed 2",
    // "backward", "forward", "seek 1.5", "frame-step", "volume 80", "mute", "unmute", "software",
    // "hardware", "read reach".
    std::vector<std::string> asked();
    // A report about the clip loaded last.
    void say(const CoreReport& report) { PlayerCore::report(currentLoad(), report); }
    // A report about the clip of `load`, which may have been replaced since.
    void sayAbout(qint64 load, const CoreReport& report) { PlayerCore::report(load, report); }
    // The clip opens and shows its first picture.
    void showFirstPicture(double duration, double framesPerSecond);
    // A seek lands at `seconds`.
    void land(double seconds);
    qint64 load() const { return currentLoad(); }

    std::set<CoreCommand> refusing;
    QStringList opened;
    int stops = 0;

protected:
    void open(const QString& path) override { opened.append(path); }
    void stop() override { ++stops; }

private:
    std::vector<std::string> requests;
};
