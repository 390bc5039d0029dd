#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "pixel/Sharpening.h"

namespace {

// A vertical edge from dark to light over a few pixels, as a shrink leaves
// it, with noise of two levels on the dark side.
wxImage edge()
{
    static const int ramp[] = {100, 140, 170};
    wxImage picture(20, 6, false);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 20; ++x) {
            const int v = x < 9 ? 60 + 2 * ((x + y) % 2) : x < 12 ? ramp[x - 9] : 190;
            picture.SetRGB(x, y, v, v, v);
        }
    return picture;
}

// Off leaves the picture alone; each level steepens the edge more, never
// beyond a few levels past the darkest and brightest around it (no halo),
// and noise under the threshold stays as it was.
TEST(Sharpening, SteeperEdgesWithoutHalos)
{
    wxImage off = edge();
    sharpen(off, Sharpening::off);
    EXPECT_TRUE(memcmp(off.GetData(), edge().GetData(), 20 * 6 * 3) == 0);
    int previousChange = 0;
    for (const char* name : {"low", "standard", "high"}) {
        Sharpening level;
        ASSERT_TRUE(sharpeningFromName(name, level));
        wxImage picture = edge();
        sharpen(picture, level);
        SCOPED_TRACE(name);
        for (int x = 0; x < 20; ++x) {
            EXPECT_GE(picture.GetRed(x, 3), 60 - 3);
            EXPECT_LE(picture.GetRed(x, 3), 190 + 3);
        }
        EXPECT_EQ(picture.GetRed(3, 2), edge().GetRed(3, 2)) << "noise left alone";
        int change = 0;
        for (int x = 0; x < 20; ++x)
            change += std::abs(picture.GetRed(x, 3) - edge().GetRed(x, 3));
        EXPECT_GT(change, previousChange);
        previousChange = change;
        EXPECT_LT(picture.GetRed(8, 3), 60) << "the foot of the edge darker";
        EXPECT_GT(picture.GetRed(12, 3), 190) << "its shoulder lighter";
    }
    Sharpening level;
    EXPECT_FALSE(sharpeningFromName("max", level));
}

}  // namespace
