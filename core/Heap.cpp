#include "core/Heap.h"

#include <malloc.h>

namespace Heap {

void returnFreePages()
{
    ::malloc_trim(0);
}

void limitArenas()
{
    // glibc gives threads that meet in the heap heaps of their own, up to eight for each processor. The
    // player's decoder threads, the metadata readers and the web engine's threads each leave their own
    // heap with free space between blocks still in use, which no trim can return: switching clips for
    // minutes kept ~470 MiB resident, swinging by 100 MiB with whatever the last clip left behind. Two
    // heaps kept ~330 MiB, steady, and the scan, the metadata reads and the player ran as fast.
    constexpr int heaps = 2;
    ::mallopt(M_ARENA_MAX, heaps);
}

}
