#include "platform/ZeroedBlocks.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/WrittenZeros.h"

namespace {

// Each block starts with its capacity; what the caller gets follows it, as
// aligned as malloc's own.
constexpr std::size_t header = 16;
// Blocks smaller than this the heap keeps by itself (it hands blocks from
// about 512 KiB on to the system).
constexpr std::size_t smallest = std::size_t(256) << 10;
// At most this much waits for reuse.
constexpr std::size_t mostKept = std::size_t(64) << 20;

struct Kept {
    std::mutex mutex;
    std::vector<char*> blocks;
    std::size_t bytes = 0;
};

Kept& kept()
{
    static Kept instance;
    return instance;
}

std::size_t capacityOf(const char* block)
{
    std::size_t capacity = 0;
    std::memcpy(&capacity, block, sizeof capacity);
    return capacity;
}

}  // namespace

void* takeZeroedBlock(std::size_t bytes)
{
    if (bytes >= smallest) {
        Kept& pool = kept();
        std::lock_guard<std::mutex> lock(pool.mutex);
        // The smallest kept block that holds it, if it wastes no more than
        // the request itself.
        auto best = pool.blocks.end();
        for (auto it = pool.blocks.begin(); it != pool.blocks.end(); ++it) {
            const std::size_t capacity = capacityOf(*it);
            if (capacity >= bytes && capacity <= 2 * bytes && (best == pool.blocks.end() || capacity < capacityOf(*best)))
                best = it;
        }
        if (best != pool.blocks.end()) {
            char* block = *best;
            pool.blocks.erase(best);
            pool.bytes -= capacityOf(block);
            std::memset(block + header, 0, bytes);
            return block + header;
        }
    }
    char* block = static_cast<char*>(writtenZeros(bytes + header));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, sizeof bytes);
    return block + header;
}

void giveBackBlock(void* memory)
{
    if (!memory)
        return;
    char* block = static_cast<char*>(memory) - header;
    const std::size_t capacity = capacityOf(block);
    if (capacity >= smallest) {
        Kept& pool = kept();
        std::lock_guard<std::mutex> lock(pool.mutex);
        if (pool.bytes + capacity <= mostKept) {
            pool.blocks.push_back(block);
            pool.bytes += capacity;
            return;
        }
    }
    std::free(block);
}
