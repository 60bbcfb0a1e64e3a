// The reader of a clip's index of video frames, which the player asks how far back it can play the clip,
// on whatever a file named like a clip holds: the same bounds as the metadata reader's.
#include "ClipFile.h"

#include "clips/BackwardReach.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ClipFile clip;
    const BackwardReach reach = BackwardReach::read(clip.write(data, size));
    if (reach.index == BackwardReach::Index::Usable) {
        // The route backwards is taken from these: they are times, the last keyframe no later than the
        // last frame.
        if (!std::isfinite(reach.lastKeyframe) || !std::isfinite(reach.lastFrame)
            || reach.lastKeyframe > reach.lastFrame)
            __builtin_trap();
    }
    return 0;
}
