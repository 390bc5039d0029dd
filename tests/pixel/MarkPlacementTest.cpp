#include <gtest/gtest.h>

#include "pixel/MarkPlacement.h"

namespace {

// A 300 x 200 picture of fine noise (busy), with calm flat areas where asked,
// as (x, y, w, h, grey) rectangles.
wxImage picture(std::initializer_list<std::array<int, 5>> flat)
{
    wxImage image(300, 200, false);
    unsigned char* p = image.GetData();
    for (int i = 0; i < 300 * 200; ++i, p += 3)
        p[0] = p[1] = p[2] = static_cast<unsigned char>((i * 7919 % 97) * 2 + 30);
    for (const auto& r : flat)
        image.SetRGB(wxRect(r[0], r[1], r[2], r[3]), r[4], r[4], r[4]);
    return image;
}

TEST(MarkPlacement, TheCalmestAllowedPlaceTiesToTheEarlier)
{
    std::vector<int> corners, all, reversed;
    ASSERT_TRUE(placesFromList("bottom-right,top-left,bottom-left,top-right", corners));
    ASSERT_TRUE(placesFromList("1,2,3,4,5,6,7,8,9,center", all));
    EXPECT_EQ(corners, (std::vector<int>{1, 3, 7, 9}));
    EXPECT_EQ(all.size(), 9u);
    std::vector<int> none;
    EXPECT_FALSE(placesFromList("top,bottom-middle", none));
    EXPECT_FALSE(placesFromList("", none));
    static const struct {
        wxImage image;
        const std::vector<int>& places;
        int markWidth, markHeight, margin, expected;
    } cases[] = {
        {picture({{240, 150, 60, 50, 128}}), corners, 50, 40, 0, 9},   // the one calm corner
        {picture({{230, 140, 60, 50, 128}}), corners, 50, 40, 10, 9},  // inside the margins
        {picture({{120, 80, 60, 40, 20}}), all, 50, 30, 0, 5},
        {picture({{0, 0, 300, 200, 90}}), corners, 50, 40, 0, 1},      // all alike: the earliest
        {picture({{0, 100, 300, 100, 60}}), corners, 100, 100, 0, 7},  // the calm lower half, its first corner
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(calmestPlace(c.image, c.markWidth, c.markHeight, c.margin, c.places), c.expected);
    }
    EXPECT_EQ(calmestPlace(picture({}), 10, 10, 0, none), 0);
    const int anyPlace = calmestPlace(picture({{0, 150, 300, 50, 200}}), 400, 300, 5, all);
    EXPECT_TRUE(anyPlace >= 1 && anyPlace <= 9) << "a mark larger than the picture still gets a place";
}

TEST(MarkPlacement, BrightGroundUnderTheMark)
{
    const wxImage halves = picture({{0, 0, 150, 200, 230}, {150, 0, 150, 200, 25}});
    EXPECT_TRUE(brightGround(halves, 60, 40, 5, 1));
    EXPECT_TRUE(brightGround(halves, 60, 40, 5, 7));
    EXPECT_FALSE(brightGround(halves, 60, 40, 5, 3));
    EXPECT_FALSE(brightGround(halves, 60, 40, 5, 9));
    EXPECT_EQ(std::string(placeName(placeFromText("bottom-right"))), "bottom-right");
    EXPECT_EQ(placeFromText("middle"), 5);
    EXPECT_EQ(placeFromText("0"), 0);
}

}  // namespace
