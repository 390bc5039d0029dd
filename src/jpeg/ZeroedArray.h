#pragma once

#include <cstddef>
#include <memory>

#include "platform/ZeroedBlocks.h"

// An array of zeros for a picture's large data, from ZeroedBlocks.
struct GiveBackBlock {
    void operator()(void* memory) const { giveBackBlock(memory); }
};

template <typename T>
using ZeroedArray = std::unique_ptr<T[], GiveBackBlock>;

template <typename T>
ZeroedArray<T> zeroedArray(std::size_t count)
{
    return ZeroedArray<T>(static_cast<T*>(takeZeroedBlock(count * sizeof(T))));
}
