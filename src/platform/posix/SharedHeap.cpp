#include "platform/SharedHeap.h"

#include <malloc.h>

void shareOneHeap()
{
    // Handing large blocks back to the system when freed (a fixed mmap
    // threshold) kept the peak as low, but made each picture fault its
    // pages in afresh: a fifth slower with two helpers.
    mallopt(M_ARENA_MAX, 1);
}
