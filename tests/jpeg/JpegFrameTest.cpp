#include <cstdint>

#include <gtest/gtest.h>

#include "jpeg/JpegFrame.h"

namespace {

// What the pipeline counts for a progressive picture's coefficients, which
// decides how many pictures are prepared at once. A 64 x 64 picture: 64
// luma blocks, and 16 of each colour at half resolution both ways, 32 at
// half across. Ours keeps a byte for each coefficient its scale shows, one
// more for the first and 8 for the marks where not all 64 are kept; libjpeg
// 64 of 2 bytes.
TEST(JpegFrame, CoefficientBytesAtEachScale)
{
    struct Case {
        const char* what;
        int h, v;  // the luma's sampling factors; colour 1 x 1
        int numerator;
        std::uint64_t bytes;
    };
    const Case cases[] = {
        {"4:4:4 at full size", 1, 1, 8, 3 * 64 * (64 + 1)},
        // Kept coefficients, a byte more for the DC, a bit for each other one.
        {"4:4:4 at half size", 1, 1, 4, 3 * 64 * (16 + 1 + 6)},
        {"4:4:4 at an eighth", 1, 1, 1, 3 * 64 * (1 + 1 + 8)},
        // Colour at full size is decoded whole and stretched.
        {"4:2:0 at full size", 2, 2, 8, 64 * (64 + 1) + 2 * 16 * (64 + 1)},
        {"4:2:0 at half size", 2, 2, 4, 64 * (16 + 1 + 6) + 2 * 16 * (64 + 1)},
        {"4:2:2 at full size", 2, 1, 8, 64 * (64 + 1) + 2 * 32 * (64 + 1)},
        {"4:2:2 at a quarter", 2, 1, 2, 64 * (4 + 1 + 8) + 2 * 32 * (4 * 2 + 1 + 7)},
        // Colour needing 12 samples a block is left to libjpeg.
        {"4:2:0 at three quarters", 2, 2, 6, (64 + 2 * 16) * 64 * 2},
    };
    for (const Case& c : cases) {
        JpegFrame frame;
        frame.width = frame.height = 64;
        frame.progressive = true;
        frame.components = 3;
        frame.horizontal[0] = c.h;
        frame.vertical[0] = c.v;
        for (int k = 1; k < 3; ++k)
            frame.horizontal[k] = frame.vertical[k] = 1;
        EXPECT_EQ(frame.coefficientBytes(c.numerator), c.bytes) << c.what;
    }
}

}  // namespace
