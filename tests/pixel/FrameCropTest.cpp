#include <gtest/gtest.h>

#include "pixel/FrameCrop.h"

namespace {

// A flat grey picture with one band of fine coloured detail.
wxImage withDetail(int width, int height, bool across, int from, int size)
{
    wxImage picture(width, height, false);
    picture.SetRGB(wxRect(0, 0, width, height), 128, 128, 128);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((across ? x : y) >= from && (across ? x : y) < from + size && (x + y) % 3 == 0)
                picture.SetRGB(x, y, 250, 40, 90);
    return picture;
}

// The crop keeps the detailed band wherever it lies; on flat ground it
// keeps the centre.
TEST(FrameCrop, TheCropKeepsTheDetail)
{
    static const struct {
        bool across;  // the crop slides along the width
        int from;     // where the band starts
        long long leastStart, mostStart;  // every other line is measured: one either way
    } cases[] = {
        {true, 0, 0, 1},       {true, 250, 150, 250}, {true, 500, 398, 400},
        {false, 0, 0, 1},      {false, 250, 150, 250}, {false, 500, 398, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.across ? "across " : "down ") << c.from);
        const wxImage picture = c.across ? withDetail(600, 200, true, c.from, 100)
                                         : withDetail(200, 600, false, c.from, 100);
        const long long start = detailedStart(picture, c.across, 200);
        EXPECT_GE(start, c.leastStart);
        EXPECT_LE(start, c.mostStart);
    }
    wxImage flat(601, 300, false);
    flat.SetRGB(wxRect(0, 0, 601, 300), 30, 30, 30);
    EXPECT_EQ(detailedStart(flat, true, 300), 150);
}

// A contain frame: the picture centred, the rest of the colour asked for.
TEST(FrameCrop, TheBorderHasItsColourAndWidth)
{
    wxImage picture(100, 50, false);
    picture.SetRGB(wxRect(0, 0, 100, 50), 200, 0, 0);
    const unsigned char blue[3] = {0, 0, 200};
    const wxImage framed = framedPicture(picture, 120, 121, blue);
    ASSERT_EQ(framed.GetSize(), wxSize(120, 121));
    static const struct {
        int x, y;
        bool inside;
    } pixels[] = {{0, 0, false}, {9, 60, false}, {10, 35, true}, {109, 84, true}, {110, 60, false},
                  {60, 34, false}, {60, 85, false}, {119, 120, false}};
    for (const auto& p : pixels) {
        EXPECT_EQ(framed.GetRed(p.x, p.y), p.inside ? 200 : 0) << p.x << "," << p.y;
        EXPECT_EQ(framed.GetBlue(p.x, p.y), p.inside ? 0 : 200) << p.x << "," << p.y;
    }
}

}  // namespace
