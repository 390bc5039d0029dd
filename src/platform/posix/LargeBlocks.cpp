#include "platform/LargeBlocks.h"

#include <malloc.h>

void returnLargeBlocksToTheSystem()
{
    // A fixed threshold also stops the library from raising it after each
    // large block freed, which is how such blocks come to stay in a heap.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
}
