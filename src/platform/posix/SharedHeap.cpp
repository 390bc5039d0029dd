#include "platform/SharedHeap.h"

#include <malloc.h>

void shareOneHeap()
{
    mallopt(M_ARENA_MAX, 1);
    // Blocks below 32 MiB (a picture's images and buffers) come from the
    // heap and stay there when freed, ready for the next picture: handing
    // them back to the system made each picture fault its pages in afresh.
    // Its coefficients are mapped apart (ZeroedBlocks).
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}
