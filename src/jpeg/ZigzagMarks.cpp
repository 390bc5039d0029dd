#include "jpeg/ZigzagMarks.h"

void ZigzagMarks::build(const std::int8_t slot[64])
{
    int kept = 0;
    for (int z = 0; z < 64; ++z)
        kept += slot[z] >= 0;
    // The zigzag position of each stored bit.
    int zigzag[64] = {};
    int notKept = 0;
    for (int z = 1; z < 64; ++z) {
        notKeptIndex_[z] = static_cast<std::int8_t>(slot[z] >= 0 ? -1 : notKept);
        zigzag[slot[z] >= 0 ? slot[z] - 1 : kept - 1 + notKept++] = z;
    }
    notKeptIndex_[0] = -1;
    table_.assign(8 * 256, 0);
    for (int i = 0; i < 8; ++i)
        for (int value = 1; value < 256; ++value) {
            // The lowest bit's position added to what the value without it gives.
            const int lowest = __builtin_ctz(static_cast<unsigned>(value));
            const int bit = 8 * i + lowest;
            table_[i * 256 + value] =
                table_[i * 256 + (value & (value - 1))] | (bit < 63 ? std::uint64_t(1) << zigzag[bit] : 0);
        }
}
