#include "platform/ZeroedBlocks.h"

#include <cstdlib>

#include "platform/WrittenZeros.h"

// The heap keeps freed blocks for the next picture (shareOneHeap).
void* takeZeroedBlock(std::size_t bytes)
{
    return writtenZeros(bytes > 0 ? bytes : 1);
}

void giveBackBlock(void* block)
{
    std::free(block);
}
