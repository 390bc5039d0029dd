#include "platform/WrittenZeros.h"

#include <cstdlib>
#include <cstring>

void* writtenZeros(std::size_t bytes)
{
    void* block = std::malloc(bytes);
    if (!block)
        return nullptr;
    // Keeps the compiler from joining malloc and memset back into calloc.
    asm volatile("" : : "r"(block) : "memory");
    return std::memset(block, 0, bytes);
}
