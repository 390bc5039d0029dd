#pragma once

#include <cstdint>
#include <vector>

// Which AC coefficients of a block are not zero, by zigzag position, from
// a CoefficientStore's nonzeroBits: bit s - 1 for the kept slot s, then bit
// kept - 1 + i for the i-th coefficient not kept, counted in zigzag order.
// Both together are 63 bits, read in eight table lookups whatever the
// scale.
class ZigzagMarks {
public:
    // slot: the place of each zigzag position among the kept, -1 for none.
    void build(const std::int8_t slot[64]);

    // -1 for a kept position.
    int notKeptIndex(int zigzag) const { return notKeptIndex_[zigzag]; }

    std::uint64_t operator()(std::uint64_t stored) const
    {
        std::uint64_t marks = 0;
        for (int i = 0; i < 8; ++i)
            marks |= table_[i * 256 + (stored >> 8 * i & 0xFF)];
        return marks;
    }

private:
    std::int8_t notKeptIndex_[64] = {};
    std::vector<std::uint64_t> table_;
};
