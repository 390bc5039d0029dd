#include <algorithm>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "pixel/Resample.h"

namespace {

// Black left of the middle, white from it on: the rows are all alike.
wxImage step(int width, int height)
{
    wxImage picture(width, height, true);
    picture.SetRGB(wxRect(width / 2, 0, width - width / 2, height), 255, 255, 255);
    return picture;
}

// Detail finer than the smaller picture can hold: vertical stripes of the
// period given (one black column, then white ones) or, with period 0, a
// checkerboard of single pixels.
wxImage stripes(int width, int height, int period)
{
    wxImage picture(width, height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool black = period == 0 ? (x + y) % 2 == 0 : x % period == 0;
            const unsigned char level = black ? 0 : 255;
            picture.SetRGB(x, y, level, level, level);
        }
    return picture;
}

TEST(Resample, FlatStaysFlatAndAnEdgeStaysInPlace)
{
    static const struct {
        int width, height, newWidth, newHeight;
    } cases[] = {
        {1000, 700, 400, 280},  // the usual reductions
        {1600, 900, 800, 450},
        {999, 611, 800, 489},   // by a factor near 1
        {800, 600, 800, 600},
        {12, 10, 5, 3},         // fewer pixels than the filter has taps
        {40, 30, 97, 71},       // enlarged
        {3000, 2, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " to " << c.newWidth << "x" << c.newHeight);
        wxImage flat(c.width, c.height, false);
        flat.SetRGB(wxRect(0, 0, c.width, c.height), 199, 37, 5);
        const wxImage shrunk = resampleLanczos3(flat, c.newWidth, c.newHeight);
        ASSERT_EQ(shrunk.GetWidth(), c.newWidth);
        ASSERT_EQ(shrunk.GetHeight(), c.newHeight);
        EXPECT_FALSE(shrunk.HasAlpha());
        int unlike = 0;
        for (int i = 0; i < c.newWidth * c.newHeight; ++i)
            unlike += shrunk.GetData()[3 * i] != 199 || shrunk.GetData()[3 * i + 1] != 37 || shrunk.GetData()[3 * i + 2] != 5;
        EXPECT_EQ(unlike, 0);

        if (c.width < 100 || c.newWidth < 4)
            continue;
        // The edge lands where it was in proportion; the filter's overshoot
        // beside it is clipped, never wrapped round past 0 or 255.
        const wxImage edge = resampleLanczos3(step(c.width, c.height), c.newWidth, c.newHeight);
        const int middle = c.newWidth / 2;
        for (int y = 0; y < c.newHeight; ++y) {
            EXPECT_LT(edge.GetRed(middle - 1, y), 128) << "row " << y;
            EXPECT_GE(edge.GetRed(middle, y), 128) << "row " << y;
            for (int x = 0; x < c.newWidth; ++x)
                EXPECT_EQ(edge.GetRed(x, y) >= 128, x >= middle) << x << ", " << y;
        }
        EXPECT_EQ(edge.GetRed(0, 0), 0);
        EXPECT_EQ(edge.GetRed(c.newWidth - 1, 0), 255);

        // Reduced, the filter widens with the reduction: stripes it cannot
        // show become their mean grey instead of a moire of bands.
        if (2 * c.newWidth > c.width || 2 * c.newHeight > c.height)
            continue;
        for (const int period : {0, 2, 3}) {
            const wxImage fine = resampleLanczos3(stripes(c.width, c.height, period), c.newWidth, c.newHeight);
            const int mean = period == 0 ? 128 : 255 - 255 / period;
            int worst = 0;
            for (int y = 2; y < c.newHeight - 2; ++y)
                for (int x = 2; x < c.newWidth - 2; ++x)
                    worst = std::max(worst, std::abs(fine.GetRed(x, y) - mean));
            EXPECT_LE(worst, 10) << "period " << period;
        }
    }
}

// Plain code, SSE2 and AVX2 (where the processor has it) give the same
// bytes: reduced, barely reduced, enlarged, and wider than the filter.
TEST(Resample, EveryPathGivesTheSameBytes)
{
    wxImage noise(613, 419, false);
    unsigned state = 12345;
    for (int i = 0; i < 613 * 419 * 3; ++i) {
        state = state * 1103515245u + 12345u;
        noise.GetData()[i] = static_cast<unsigned char>(state >> 23);
    }
    std::vector<ResamplePath> paths = {ResamplePath::sse2};
    if (fastestResamplePath() == ResamplePath::avx2)
        paths.push_back(ResamplePath::avx2);
    static const struct {
        int width, height;
    } sizes[] = {{200, 137}, {600, 410}, {61, 41}, {900, 700}, {3, 2}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        const wxImage plain = resampleLanczos3(noise, size.width, size.height, ResamplePath::plain);
        for (const ResamplePath path : paths) {
            const wxImage vector = resampleLanczos3(noise, size.width, size.height, path);
            EXPECT_TRUE(std::equal(plain.GetData(), plain.GetData() + size.width * size.height * 3, vector.GetData()))
                << static_cast<int>(path);
        }
    }
}

}  // namespace
