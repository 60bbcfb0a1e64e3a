#pragma once

#include "clips/PlayerCore.h"

#include <QtGlobal>

#include <cstdint>
#include <optional>
#include <unordered_map>

// Which of mpv's reports concern the clip loaded last. mpv plays one file after another on the same
// core, and its reports about a file it is closing may come after the next load: mpv names each load's
// playlist entry in its reply to the load, and every report of a file carries its entry. Requests are
// numbered as they go to mpv, each with the load it was made for, so that a refusal reaches the player
// it was made for or nobody.
class MpvLoads
{
public:
    struct Request
    {
        qint64 load = 0;
        CoreCommand command = CoreCommand::Seek;
    };

    // A new file is being loaded as load `load`: whatever mpv still says about the one before is not its.
    void startLoad(qint64 load);
    // The number to give mpv for a request made now.
    uint64_t track(CoreCommand command);
    // mpv answered request `id`: the request, if it was one of ours.
    std::optional<Request> answered(uint64_t id);
    // mpv took the current load, naming its playlist entry (mpv ≥ 0.33) or not.
    void opened(std::optional<qint64> entry);
    // A file started: whether it is the current load's (without the entry's name, the next file that
    // starts after the reply is).
    bool fileStarted(qint64 entry);
    // A file ended: whether it was the current load's.
    bool fileEnded(qint64 entry);
    // Whether the current load's file has started and not ended: its reports count.
    bool started() const { return currentStarted; }
    bool isCurrent(const Request& request) const { return request.load == load; }

private:
    qint64 load = 0;
    qint64 currentEntry = -1;
    bool currentStarted = false;
    bool adoptNextStart = false;
    std::unordered_map<uint64_t, Request> requests;
    uint64_t lastRequest = 0;
};
