#include "platform/ZeroedBlocks.h"

#include <cstdlib>
#include <cstring>

// The heap keeps freed blocks for the next picture (shareOneHeap). The block
// is zeroed by writing rather than by calloc: calloc leaves fresh pages
// untouched, the decoder's first read of one maps the shared zero page, and
// its first write then replaces that page, which with helpers running costs
// every other core a flush of its address cache. (The empty asm keeps the
// compiler from joining malloc and memset back into calloc.)
void* takeZeroedBlock(std::size_t bytes)
{
    const std::size_t size = bytes > 0 ? bytes : 1;
    void* block = std::malloc(size);
    if (!block)
        return nullptr;
    asm volatile("" : : "r"(block) : "memory");
    return std::memset(block, 0, size);
}

void giveBackBlock(void* block)
{
    std::free(block);
}
