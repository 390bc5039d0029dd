#pragma once

#include <cstdlib>
#include <memory>

// An array from calloc: fresh pages come zeroed from the system, without a
// pass that writes zeros over tens of megabytes.
struct FreeWithFree {
    void operator()(void* memory) const { std::free(memory); }
};

template <typename T>
using ZeroedArray = std::unique_ptr<T[], FreeWithFree>;

template <typename T>
ZeroedArray<T> zeroedArray(std::size_t count)
{
    return ZeroedArray<T>(static_cast<T*>(std::calloc(count > 0 ? count : 1, sizeof(T))));
}
