#include <gtest/gtest.h>

#include <cstdint>

#include "jpeg/ZigzagMarks.h"

namespace {

// Each of the 63 stored bits lands on one zigzag position: a kept slot's bit
// on the position of that slot, the i-th bit of those not kept on the i-th
// position not kept, in zigzag order. The zigzag order here is walked along
// the diagonals, apart from the decoder's table.
TEST(ZigzagMarks, EveryStoredBitLandsOnItsPosition)
{
    int natural[64];
    for (int z = 0, sum = 0; sum < 15; ++sum)
        for (int i = 0; i <= sum; ++i) {
            const int row = sum % 2 ? i : sum - i;
            const int column = sum - row;
            if (row < 8 && column < 8)
                natural[z++] = row * 8 + column;
        }
    const struct {
        int across, down;
    } scales[] = {{8, 8}, {4, 4}, {1, 1}, {8, 4}, {3, 3}};
    for (const auto& scale : scales) {
        SCOPED_TRACE(testing::Message() << scale.across << " x " << scale.down << " kept");
        std::int8_t slot[64];
        for (int z = 0; z < 64; ++z) {
            const int row = natural[z] / 8, column = natural[z] % 8;
            slot[z] = static_cast<std::int8_t>(row < scale.down && column < scale.across ? row * scale.across + column : -1);
        }
        ZigzagMarks marks;
        marks.build(slot);
        const int kept = scale.across * scale.down;
        int notKept = 0;
        std::uint64_t all = 0;
        for (int z = 1; z < 64; ++z) {
            const int bit = slot[z] >= 0 ? slot[z] - 1 : kept - 1 + notKept;
            EXPECT_EQ(marks.notKeptIndex(z), slot[z] >= 0 ? -1 : notKept++) << "position " << z;
            EXPECT_EQ(marks(std::uint64_t(1) << bit), std::uint64_t(1) << z) << "position " << z;
            all |= std::uint64_t(1) << bit;
        }
        EXPECT_EQ(marks(all), ~std::uint64_t(1));
    }
}

}  // namespace
