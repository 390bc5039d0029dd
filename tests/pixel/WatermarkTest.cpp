#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <wx/msgdlg.h>

#include "batch/ShapedPicture.h"
#include "pixel/Watermark.h"

namespace {

struct Report {
    wxString message, caption;
};

class WatermarkTest : public testing::Test {
protected:
    std::vector<Report> reports;
    MessageReporter reporter = [this](const wxString& m, const wxString& c) { reports.push_back({m, c}); };
};

wxImage filled(int w, int h, unsigned char r, unsigned char g, unsigned char b)
{
    wxImage image(w, h, false);
    image.SetRGB(wxRect(0, 0, w, h), r, g, b);
    return image;
}

// The changed pixels' bounding box, or an empty rectangle.
wxRect changedArea(const wxImage& before, const wxImage& after)
{
    wxRect box;
    for (int y = 0; y < before.GetHeight(); ++y)
        for (int x = 0; x < before.GetWidth(); ++x)
            if (before.GetRed(x, y) != after.GetRed(x, y) || before.GetGreen(x, y) != after.GetGreen(x, y) ||
                before.GetBlue(x, y) != after.GetBlue(x, y))
                box = box.IsEmpty() ? wxRect(x, y, 1, 1) : box.Union(wxRect(x, y, 1, 1));
    return box;
}

// Written straight from the rule, pixel by pixel with the per-pixel
// accessors, to check the buffer-walking version against.
void referenceBlend(wxImage& picture, const wxImage& watermark, double alpha, int placement)
{
    const int W = picture.GetWidth(), H = picture.GetHeight();
    wxImage mark = watermark;
    if (mark.GetWidth() > W || mark.GetHeight() > H) {
        const long long ww = mark.GetWidth(), wh = mark.GetHeight();
        long long nw, nh;
        if (ww * H >= wh * W) {
            nw = W;
            nh = wh * W / ww;
        } else {
            nh = H;
            nw = ww * H / wh;
        }
        if (nw <= 0 || nh <= 0)
            return;
        mark = watermark.Scale(static_cast<int>(nw), static_cast<int>(nh), wxIMAGE_QUALITY_HIGH);
    }
    const int w = mark.GetWidth(), h = mark.GetHeight();
    int code = placement >= 1 && placement <= 9 ? placement : 5;
    const int x0 = (code - 1) % 3 == 0 ? 0 : (code - 1) % 3 == 1 ? W / 2 - w / 2 : W - w;
    const int y0 = (code - 1) / 3 == 0 ? 0 : (code - 1) / 3 == 1 ? H / 2 - h / 2 : H - h;
    for (int j = 0; j < w; ++j) {
        for (int r = 0; r < h; ++r) {
            double a = alpha;
            if (mark.HasAlpha()) {
                if (mark.GetAlpha(j, r) == 0)
                    continue;
                a = mark.GetAlpha(j, r) / 255.0;
            } else if (mark.GetRed(j, r) == 255 || mark.GetGreen(j, r) == 255 || mark.GetBlue(j, r) == 255) {
                continue;
            }
            const double na = 1.0 - a;
            auto mix = [&](int m, int p) {
                const double v = a * m + na * p;
                return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<int>(v);
            };
            const int x = x0 + j, y = y0 + r;
            picture.SetRGB(x, y, mix(mark.GetRed(j, r), picture.GetRed(x, y)),
                           mix(mark.GetGreen(j, r), picture.GetGreen(x, y)),
                           mix(mark.GetBlue(j, r), picture.GetBlue(x, y)));
        }
    }
}

wxImage randomImage(std::mt19937& rng, int w, int h, bool withAlpha)
{
    wxImage image(w, h, false);
    std::uniform_int_distribution<int> byte(0, 255);
    unsigned char* rgb = image.GetData();
    for (int i = 0; i < w * h * 3; ++i)
        rgb[i] = static_cast<unsigned char>(byte(rng) < 20 ? 255 : byte(rng));
    if (withAlpha) {
        image.InitAlpha();
        for (int i = 0; i < w * h; ++i)
            image.GetAlpha()[i] = static_cast<unsigned char>(byte(rng) < 40 ? 0 : byte(rng));
    }
    return image;
}

TEST_F(WatermarkTest, MatchesTheRuleOnRandomInput)
{
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> size(1, 90), code(0, 10), coin(0, 1);
    std::uniform_real_distribution<double> opacity(0.0, 1.0);
    for (int round = 0; round < 300; ++round) {
        const wxImage picture = randomImage(rng, size(rng), size(rng), false);
        const wxImage mark = randomImage(rng, size(rng), size(rng), coin(rng));
        const wxImage markBefore = mark.Copy();
        const double alpha = opacity(rng);
        const int placement = code(rng);
        SCOPED_TRACE(testing::Message() << "round " << round << ": picture " << picture.GetWidth() << "x"
                                        << picture.GetHeight() << ", mark " << mark.GetWidth() << "x"
                                        << mark.GetHeight() << ", code " << placement);
        wxImage expected = picture.Copy();
        referenceBlend(expected, mark, alpha, placement);
        wxImage actual = picture.Copy();
        ApplyWatermark(actual, mark, alpha, placement, reporter);
        ASSERT_EQ(0, memcmp(expected.GetData(), actual.GetData(), picture.GetWidth() * picture.GetHeight() * 3));
        ASSERT_EQ(0, memcmp(markBefore.GetData(), mark.GetData(), mark.GetWidth() * mark.GetHeight() * 3));
    }
}

TEST_F(WatermarkTest, WorkedNumbers)
{
    static const struct {
        double alpha;
        unsigned char mark[3], pixel[3], expected[3];
    } cases[] = {
        {0.2, {0, 0, 0}, {200, 100, 50}, {160, 80, 40}},
        {0.5, {100, 100, 100}, {201, 201, 201}, {150, 150, 150}},
        {0.0, {10, 20, 30}, {1, 2, 3}, {1, 2, 3}},
        {1.0, {10, 20, 30}, {1, 2, 3}, {10, 20, 30}},
        {0.5, {254, 0, 0}, {0, 100, 0}, {127, 50, 0}},
        {0.5, {255, 0, 0}, {0, 100, 0}, {0, 100, 0}},
        {0.9, {0, 255, 0}, {7, 7, 7}, {7, 7, 7}},
        // Opacities from a hand-edited prefs.cfg saturate instead of wrapping.
        {2.0, {200, 200, 200}, {50, 50, 50}, {255, 255, 255}},
        {-1.0, {200, 200, 200}, {100, 100, 100}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alpha);
        wxImage picture = filled(3, 3, c.pixel[0], c.pixel[1], c.pixel[2]);
        ApplyWatermark(picture, filled(1, 1, c.mark[0], c.mark[1], c.mark[2]), c.alpha, 5, reporter);
        EXPECT_EQ(picture.GetRed(1, 1), c.expected[0]);
        EXPECT_EQ(picture.GetGreen(1, 1), c.expected[1]);
        EXPECT_EQ(picture.GetBlue(1, 1), c.expected[2]);
    }
}

TEST_F(WatermarkTest, Geometry)
{
    static const struct {
        int pictureW, pictureH, markW, markH, placement;
        wxRect expected;
    } cases[] = {
        {800, 600, 100, 50, 9, wxRect(wxPoint(700, 550), wxPoint(799, 599))},
        {800, 600, 100, 50, 1, wxRect(0, 0, 100, 50)},
        {800, 600, 100, 50, 2, wxRect(350, 0, 100, 50)},
        {800, 600, 100, 50, 4, wxRect(0, 275, 100, 50)},
        {801, 601, 100, 51, 5, wxRect(350, 275, 100, 51)},
        {800, 600, 100, 50, 6, wxRect(700, 275, 100, 50)},
        {800, 600, 100, 50, 7, wxRect(0, 550, 100, 50)},
        {800, 600, 100, 50, 8, wxRect(350, 550, 100, 50)},
        {300, 200, 600, 100, 9, wxRect(wxPoint(0, 150), wxPoint(299, 199))},
        {300, 200, 600, 100, 5, wxRect(wxPoint(0, 75), wxPoint(299, 124))},
        {300, 200, 300, 200, 3, wxRect(0, 0, 300, 200)},
        {300, 200, 300, 50, 8, wxRect(0, 150, 300, 50)},
        {300, 200, 10, 200, 3, wxRect(290, 0, 10, 200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureW << "x" << c.pictureH << " code " << c.placement);
        const wxImage before = filled(c.pictureW, c.pictureH, 200, 200, 200);
        wxImage picture = before.Copy();
        ApplyWatermark(picture, filled(c.markW, c.markH, 0, 0, 0), 0.5, c.placement, reporter);
        EXPECT_EQ(changedArea(before, picture), c.expected);
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(WatermarkTest, OwnAlphaChannel)
{
    wxImage mark = filled(3, 1, 255, 255, 255);
    mark.InitAlpha();
    mark.SetAlpha(0, 0, 255);
    mark.SetAlpha(1, 0, 0);
    mark.SetAlpha(2, 0, 51);  // 0.2
    wxImage picture = filled(3, 1, 200, 100, 50);
    picture.InitAlpha();
    picture.SetAlpha(0, 0, 17);
    ApplyWatermark(picture, mark, 0.9, 1, reporter);
    EXPECT_EQ(picture.GetRed(0, 0), 255);  // white drawn: the channel rules, not the colour
    EXPECT_EQ(picture.GetBlue(0, 0), 255);
    EXPECT_EQ(picture.GetRed(1, 0), 200);
    EXPECT_EQ(picture.GetGreen(2, 0), 131);  // 0.2 * 255 + 0.8 * 100 = 131
    EXPECT_EQ(picture.GetAlpha(0, 0), 17);
}

TEST_F(WatermarkTest, WrongPlacementReportedOnceAndCentred)
{
    for (int placement : {0, 10, -1}) {
        reports.clear();
        const wxImage before = filled(9, 9, 200, 200, 200);
        wxImage picture = before.Copy();
        ApplyWatermark(picture, filled(3, 3, 0, 0, 0), 0.5, placement, reporter);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].message, "Wrong Water Image placement. Center placement will be used.");
        EXPECT_EQ(reports[0].caption, wxMessageBoxCaptionStr);
        EXPECT_EQ(changedArea(before, picture), wxRect(3, 3, 3, 3));
    }
}

TEST_F(WatermarkTest, WatermarkShrunkToNothingDrawsNothing)
{
    const wxImage before = filled(10, 10, 9, 9, 9);
    wxImage picture = before.Copy();
    ApplyWatermark(picture, filled(1000, 1, 0, 0, 0), 0.5, 5, reporter);
    EXPECT_TRUE(changedArea(before, picture).IsEmpty());
}

// Size and margin in percent of the picture's longer side: a portrait and a
// landscape picture get the same watermark; the centre is not moved; a
// margin too wide gives way; a watermark still too large is shrunk.
TEST_F(WatermarkTest, SizeAndMarginFollowThePicture)
{
    static const struct {
        int pictureW, pictureH;
        double size, margin;
        int placement;
        wxRect expected;
    } cases[] = {
        {800, 533, 10, 2, 9, wxRect(704, 490, 80, 27)},
        {533, 800, 10, 2, 1, wxRect(16, 16, 80, 27)},
        {800, 533, 10, 5, 5, wxRect(360, 253, 80, 27)},
        {800, 533, 0, 0, 3, wxRect(500, 0, 300, 100)},
        {100, 100, 90, 49, 9, wxRect(0, 21, 90, 30)},
        {533, 800, 100, 0, 5, wxRect(0, 312, 533, 177)},
    };
    const wxImage mark = filled(300, 100, 0, 0, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureW << "x" << c.pictureH << " size " << c.size << " margin "
                                        << c.margin);
        ProcessingJob job;
        job.settings.useWatermark = true;
        job.watermarkImage = &mark;
        job.settings.alpha = 0.5;
        job.settings.wmPlacement = c.placement;
        job.settings.watermarkSize = c.size;
        job.settings.watermarkMargin = c.margin;
        const wxImage before = filled(c.pictureW, c.pictureH, 200, 200, 200);
        wxImage picture = before.Copy();
        EXPECT_TRUE(blendJobWatermark(picture, {}, job, "", reporter).blended);
        EXPECT_EQ(changedArea(before, picture), c.expected);
    }
}

// Scaled premultiplied: the colour of fully transparent pixels never
// bleeds into the visible ones.
TEST_F(WatermarkTest, TransparentColoursDoNotBleedWhenScaled)
{
    wxImage mark = filled(40, 20, 0, 0, 255);
    mark.InitAlpha();
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 18; ++x) {
            mark.SetRGB(x, y, 255, 0, 0);
            mark.SetAlpha(x, y, 0);
        }
    const wxImage scaled = watermarkAtSize(mark, 10);
    ASSERT_EQ(scaled.GetSize(), wxSize(10, 5));
    for (int x = 0; x < 10; ++x) {
        EXPECT_LE(scaled.GetRed(x, 2), 2) << x;
        EXPECT_EQ(scaled.GetAlpha(x, 2) > 0, x >= 4) << x;
    }
}

}  // namespace

namespace {

// The size a watermark is blended at, which the automatic place measures
// under: scaled by the size setting, then shrunk into a smaller picture.
TEST(Watermark, MarkSizeAsTheBlendMakesIt)
{
    static const struct {
        int markW, markH, pictureW, pictureH;
        double size;
        int w, h;
    } cases[] = {
        {100, 50, 800, 600, 0, 100, 50}, {100, 50, 800, 600, 25, 200, 100}, {50, 100, 600, 800, 25, 100, 200},
        {400, 100, 200, 150, 0, 200, 50}, {100, 50, 800, 600, 100, 800, 400}, {100, 50, 600, 800, 100, 600, 300},
    };
    for (const auto& c : cases) {
        const wxSize size = markSizeIn(wxImage(c.markW, c.markH, false), c.pictureW, c.pictureH, c.size);
        EXPECT_EQ(size, wxSize(c.w, c.h)) << c.markW << "x" << c.markH << " at " << c.size;
    }
}

}  // namespace
