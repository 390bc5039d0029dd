#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "jpeg/CoefficientStore.h"

namespace {

// Values in and beyond 8 bits, set and changed in an order no scan script
// follows, read back as they were set: through the table beside the narrow
// coefficients, and after more of them than it holds have widened them
// all. Without the room to widen, the store says so at the first value
// past the table. Which AC values are not zero it tells as they are, and
// the marks of those not kept as they were set.
TEST(CoefficientStore, KeepsEveryValueItIsGiven)
{
    constexpr int blocks = 64;
    static const struct {
        int kept;
        std::size_t spare;
        bool widens;
        std::size_t tableHolds;  // a quarter of the narrow bytes or the spare if less, in 48-byte values
    } cases[] = {{16, 1 << 20, true, 5}, {16, 1000, false, 5}, {64, 1 << 20, true, 21},
                 {64, 1000, false, 20},   {1, 1 << 20, true, 0},  {36, 1 << 20, true, 13}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.kept << " kept, " << c.spare << " spare");
        const int kept = c.kept;
        CoefficientStore store;
        ASSERT_TRUE(store.reset(blocks, kept, c.spare));
        std::vector<int> expected(blocks * kept, 0);
        const int values[] = {127, -127, 128, -128, 1023, -1024, 32767, -32768, 5, 0, -1};
        unsigned random = 1;
        int failures = 0;
        std::set<int> wide;  // where a set AC value is outside 8 bits
        std::vector<std::uint64_t> marks(blocks, 0);
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
            // The 64 - kept coefficients not kept, marked as a scan finds them.
            const int notKept = kept < 64 ? static_cast<int>(random >> 24) % (64 - kept) : -1;
            if (notKept >= 0) {
                marks[block] |= std::uint64_t(1) << notKept;
                store.markNotKept(block, notKept);
            }
            if (slot == 0) {
                store.setDc(block, value);
            } else if (!store.setAc(block, slot, value)) {
                ++failures;
                break;
            }
        }
        EXPECT_EQ(failures, c.widens ? 0 : 1);
        if (!c.widens) {
            EXPECT_EQ(wide.size(), c.tableHolds + 1);
        }
        int read[64];
        for (int block = 0; block < blocks; ++block) {
            store.values(block, read);
            std::uint64_t nonzero = 0;
            for (int slot = 0; slot < kept; ++slot) {
                ASSERT_EQ(read[slot], expected[block * kept + slot]) << "block " << block << ", slot " << slot;
                if (slot > 0) {
                    ASSERT_EQ(store.ac(block, slot), read[slot]);
                    nonzero |= std::uint64_t(read[slot] != 0) << (slot - 1);
                }
            }
            ASSERT_EQ(store.nonzeroSlots(block), nonzero) << "block " << block;
            ASSERT_EQ(store.nonzeroNotKept(block), marks[block]) << "block " << block;
        }
    }
}

}  // namespace
