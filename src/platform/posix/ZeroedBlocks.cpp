#include "platform/ZeroedBlocks.h"

#include <cstdlib>

// The heap keeps freed blocks for the next picture (shareOneHeap).
void* takeZeroedBlock(std::size_t bytes)
{
    return std::calloc(bytes > 0 ? bytes : 1, 1);
}

void giveBackBlock(void* block)
{
    std::free(block);
}
