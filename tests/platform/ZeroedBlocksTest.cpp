#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/ZeroedBlocks.h"

namespace {

// A block is all zeros when taken, also when it is one given back before
// with other bytes in it, and may be smaller or larger than that one.
TEST(ZeroedBlocks, EveryBlockComesZeroed)
{
    static const std::size_t sizes[] = {100, 3 << 20, 2 << 20, 3 << 20, 5 << 20, 300 << 10};
    for (int round = 0; round < 2; ++round)
        for (const std::size_t size : sizes) {
            SCOPED_TRACE(size);
            auto* block = static_cast<unsigned char*>(takeZeroedBlock(size));
            ASSERT_NE(block, nullptr);
            EXPECT_TRUE(std::all_of(block, block + size, [](unsigned char byte) { return byte == 0; }));
            std::memset(block, 0xA5, size);
            giveBackBlock(block);
        }
}

}  // namespace
