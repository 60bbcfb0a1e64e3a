// The clip metadata reader on whatever a file named like a clip holds: a camera card can carry damaged or
// hostile headers, and the reader must come back with an answer (or none) without harm.
#include "clips/ClipMetadata.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The reader takes a path, as the scan hands it one: the bytes become a file for each run.
    static QTemporaryFile clip;
    if (!clip.isOpen() && !clip.open())
        return 0;
    clip.resize(0);
    clip.seek(0);
    clip.write(reinterpret_cast<const char*>(data), qint64(size));
    clip.flush();
    ClipMetadata::read(clip.fileName());
    return 0;
}
