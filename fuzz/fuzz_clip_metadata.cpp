// The clip metadata reader on whatever a file named like a clip holds: a camera card can carry damaged or
// hostile headers, and the reader must come back with an answer (or why there is none) without harm, in
// bounded time and memory, without a socket.
#include "ClipFile.h"

#include "clips/ClipMetadata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ClipFile clip;
    ClipMetadata::readHeader(clip.write(data, size));
    return 0;
}
