#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "jpeg/CoefficientStore.h"

namespace {

// Values in and beyond 8 bits, set and changed in an order no scan script
// follows, read back as they were set: through the table beside the narrow
// coefficients, and after more of them than it holds have widened them
// all. Without the room to widen, the store says so at the first value
// past the table.
TEST(CoefficientStore, KeepsEveryValueItIsGiven)
{
    constexpr int blocks = 64, kept = 16;  // a table of 5 values beside 960 narrow ones
    static const struct {
        std::size_t spare;
        bool widens;
    } cases[] = {{1 << 20, true}, {1000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spare);
        CoefficientStore store;
        ASSERT_TRUE(store.reset(blocks, kept, c.spare));
        std::vector<int> expected(blocks * kept, 0);
        const int values[] = {127, -127, 128, -128, 1023, -1024, 32767, -32768, 5, 0, -1};
        unsigned random = 1;
        int failures = 0;
        std::set<int> wide;  // where a set AC value is outside 8 bits
        for (int step = 0; step < 400; ++step) {
            random = random * 1103515245 + 12345;
            const int block = (random >> 8) % blocks;
            const int slot = (random >> 16) % kept;
            const int value = values[(random >> 20) % std::size(values)];
            expected[block * kept + slot] = value;
            if (slot > 0 && (value < -127 || value > 127))
                wide.insert(block * kept + slot);
            else
                wide.erase(block * kept + slot);
            if (slot == 0) {
                store.setDc(block, value);
            } else if (!store.setAc(block, slot, value)) {
                ++failures;
                break;
            }
        }
        EXPECT_EQ(failures, c.widens ? 0 : 1);
        if (!c.widens) {
            EXPECT_EQ(wide.size(), 6u) << "the table holds 960 / 4 bytes of 48-byte values";
        }
        int read[kept];
        for (int block = 0; block < blocks; ++block) {
            store.values(block, read);
            for (int slot = 0; slot < kept; ++slot) {
                ASSERT_EQ(read[slot], expected[block * kept + slot]) << "block " << block << ", slot " << slot;
                if (slot > 0) {
                    ASSERT_EQ(store.ac(block, slot), read[slot]);
                }
            }
        }
    }
}

}  // namespace
