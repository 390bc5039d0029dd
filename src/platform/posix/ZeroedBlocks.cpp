#include "platform/ZeroedBlocks.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/WrittenZeros.h"

namespace {

// Each block starts with its size; what the caller gets follows it, as
// aligned as malloc's own.
constexpr std::size_t header = 16;
// Blocks from this size on (a picture's coefficient arrays) are mapped
// apart and unmapped when given back. From the heap, a picture's arrays
// left holes between the next pictures' smaller ones, and the heap grew by
// up to 8 MiB beyond what was in use.
constexpr std::size_t mappedFrom = std::size_t(256) << 10;
constexpr std::size_t hugePage = std::size_t(2) << 20;

std::size_t mappedLength(std::size_t total)
{
    static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (total + page - 1) / page * page;
}

// Starts on a huge page's edge, so that the system may back it with huge
// pages: a few faults a picture instead of one every 4 KiB. Its pages are
// faulted in by writing, all at once: a first read would map the shared
// zero page, and the first write then replaces it, which costs every other
// core a flush of its address cache.
char* mapZeroed(std::size_t length)
{
    void* area = mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED)
        return nullptr;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(area);
    const std::uintptr_t edge = (start + hugePage - 1) / hugePage * hugePage;
    if (edge > start)
        munmap(area, edge - start);
    munmap(reinterpret_cast<void*>(edge + length), start + hugePage - edge);
    char* block = reinterpret_cast<char*>(edge);
    madvise(block, length, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    if (madvise(block, length, MADV_POPULATE_WRITE) == 0)
        return block;
#endif
    // New pages are zero already: writing zeros only faults them in.
    std::memset(block, 0, length);
    return block;
}

}  // namespace

void* takeZeroedBlock(std::size_t bytes)
{
    const std::size_t total = bytes + header;
    char* block = total < mappedFrom ? static_cast<char*>(writtenZeros(total)) : mapZeroed(mappedLength(total));
    if (!block)
        return nullptr;
    std::memcpy(block, &total, sizeof total);
    return block + header;
}

void giveBackBlock(void* memory)
{
    if (!memory)
        return;
    char* block = static_cast<char*>(memory) - header;
    std::size_t total = 0;
    std::memcpy(&total, block, sizeof total);
    if (total < mappedFrom)
        std::free(block);
    else
        munmap(block, mappedLength(total));
}
