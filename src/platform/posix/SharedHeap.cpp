#include "platform/SharedHeap.h"

#include <malloc.h>

void shareOneHeap()
{
    mallopt(M_ARENA_MAX, 1);
    // Blocks below 1 MiB (a picture's buffers) come from the heap and stay
    // there when freed, ready for the next picture. Larger ones (its images:
    // a result of 800 x 533 takes 1.3 MB) are mapped apart, as its
    // coefficients are (ZeroedBlocks): from the heap they left holes between
    // the next pictures' blocks, 2 to 3 MiB at the batch's peak. Mapped,
    // they cost a few hundred page faults a picture.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}
