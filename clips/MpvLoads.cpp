#include "clips/MpvLoads.h"

void MpvLoads::startLoad(qint64 number)
{
    load = number;
    currentEntry = -1;
    currentStarted = false;
    adoptNextStart = false;
}

uint64_t MpvLoads::track(CoreCommand command)
{
    requests.emplace(++lastRequest, Request { load, command });
    return lastRequest;
}

std::optional<MpvLoads::Request> MpvLoads::answered(uint64_t id)
{
    const auto found = requests.find(id);
    if (found == requests.end())
        return std::nullopt;
    const Request request = found->second;
    requests.erase(found);
    return request;
}

void MpvLoads::opened(std::optional<qint64> entry)
{
    adoptNextStart = !entry;
    if (entry)
        currentEntry = *entry;
}

bool MpvLoads::fileStarted(qint64 entry)
{
    if (adoptNextStart) {
        currentEntry = entry;
        adoptNextStart = false;
    }
    if (entry == currentEntry)
        currentStarted = true;
    return entry == currentEntry;
}

bool MpvLoads::fileEnded(qint64 entry)
{
    if (entry != currentEntry)
        return false;
    currentStarted = false;
    return true;
}
