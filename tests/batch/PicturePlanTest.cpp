#include <gtest/gtest.h>

#include <cstring>

#include "TempDir.h"
#include "batch/ShapedPicture.h"
#include "batch/TestJpeg.h"
#include "pixel/PictureFile.h"

#include "batch/PicturePlan.h"

namespace {

// A cover frame is filled, then cropped to it; a contain frame holds the
// picture whole. Never enlarged: a smaller picture keeps its size, a cover
// frame's shape cut from it, a contain frame around it.
TEST(PicturePlan, FramesFillOrHold)
{
    static const struct {
        const char* rule;
        long long storedWidth, storedHeight;
        int orientation;
        long long fitWidth, fitHeight;  // before the turn
        long long width, height;        // the result
    } cases[] = {
        {"cover:1080x1350", 3000, 2000, 0, 2025, 1350, 1080, 1350},
        {"cover:1920x1080", 2000, 3000, 0, 1920, 2880, 1920, 1080},
        {"cover:1080x1350", 3000, 2000, 6, 1620, 1080, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 2, 2025, 1350, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 3, 2025, 1350, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 4, 2025, 1350, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 5, 1620, 1080, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 7, 1620, 1080, 1080, 1350},
        {"cover:1080x1350", 3000, 2000, 8, 1620, 1080, 1080, 1350},
        {"cover:1080x1350", 1080, 1350, 0, 1080, 1350, 1080, 1350},
        {"cover:1080x1350", 1081, 1351, 0, 1081, 1350, 1080, 1350},
        {"cover:1080x1350", 500, 400, 0, 500, 400, 320, 400},
        {"cover:1080x1350", 1000, 3000, 0, 1000, 3000, 1000, 1250},
        {"cover:1080x1080", 3001, 1000, 0, 3001, 1000, 1000, 1000},
        {"contain:1080x1080", 3000, 2000, 0, 1080, 720, 1080, 1080},
        {"contain:1080x1080", 500, 400, 0, 500, 400, 1080, 1080},
        {"contain:1080x1350", 2000, 3000, 8, 720, 1080, 1080, 1350},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rule << " " << c.storedWidth << "x" << c.storedHeight << " turn "
                                        << c.orientation);
        BatchSettings settings;
        SizeRule rule;
        ASSERT_TRUE(sizeRuleFromText(c.rule, rule));
        settings.fitMode = fitModeName(rule.mode);
        settings.width = static_cast<int>(rule.width);
        settings.height = static_cast<int>(rule.height);
        settings.focus = "centre";
        PicturePlan plan;
        planShape(plan, c.storedWidth, c.storedHeight, c.orientation, resolveSettings(settings));
        EXPECT_EQ(plan.fitWidth, c.fitWidth);
        EXPECT_EQ(plan.fitHeight, c.fitHeight);
        EXPECT_EQ(plan.width, c.width);
        EXPECT_EQ(plan.height, c.height);
        EXPECT_EQ(plan.frame, rule.mode);
        if (rule.mode == FitMode::cover) {
            // Centred in the fitted, upright picture.
            const long long uprightWidth = c.orientation >= 5 ? c.fitHeight : c.fitWidth;
            EXPECT_EQ(plan.keptX, (uprightWidth - c.width) / 2);
        }
    }
}

// Fitted into the box, then turned: orientations 5 to 8 swap the sides.
TEST(PicturePlan, FitsThenTurns)
{
    static const struct {
        int orientation;
        bool rotate;
        int box;
        long long fitWidth, fitHeight, width, height;
        int turn;
    } cases[] = {
        {0, true, 800, 800, 400, 800, 400, 0},    {1, true, 800, 800, 400, 800, 400, 0},
        {2, true, 800, 800, 400, 800, 400, 2},    {3, true, 800, 800, 400, 800, 400, 3},
        {4, true, 800, 800, 400, 800, 400, 4},    {5, true, 800, 800, 400, 400, 800, 5},
        {6, true, 800, 800, 400, 400, 800, 6},    {7, true, 800, 800, 400, 400, 800, 7},
        {8, true, 800, 800, 400, 400, 800, 8},    {9, true, 800, 800, 400, 800, 400, 0},
        {6, false, 800, 800, 400, 800, 400, 0},   {6, true, 1200, 1200, 600, 600, 1200, 6},
        {6, true, 1199, 1199, 599, 599, 1199, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << " box " << c.box);
        BatchSettings settings;
        settings.rotate = c.rotate;
        settings.width = c.box;
        PicturePlan plan;
        planShape(plan, 1200, 600, c.orientation, resolveSettings(settings));
        EXPECT_EQ(plan.fitWidth, c.fitWidth);
        EXPECT_EQ(plan.fitHeight, c.fitHeight);
        EXPECT_EQ(plan.width, c.width);
        EXPECT_EQ(plan.height, c.height);
        EXPECT_EQ(plan.resized, c.box < 1200);
        EXPECT_EQ(plan.orientation, c.turn);
    }
}

// A fit other than the box decodes straight to its size, at the reduced
// scale the box would take for that size: the same pixels as the box.
TEST(PicturePlan, FitsDecodeAtTheScaleTheyNeed)
{
    TempDir dir;
    writeFile(dir.file("p.jpg"), encodeJpeg(shadedPicture(3200, 2000), false));
    LoadedPicture byBox;
    ASSERT_TRUE(loadPicture(dir.file("p.jpg"), 800, byBox));
    BatchSettings settings;
    settings.fitMode = "width";
    PictureFile file(dir.file("p.jpg"));
    PicturePlan plan;
    planShape(plan, 3200, 2000, 0, resolveSettings(settings));
    ShapedPicture shaped;
    ASSERT_TRUE(shapePicture(file, plan, settings, shaped, nullptr));
    ASSERT_EQ(shaped.picture.image.GetSize(), wxSize(800, 500));
    EXPECT_EQ(std::memcmp(shaped.picture.image.GetData(), byBox.image.GetData(), 800 * 500 * 3), 0);
}

}  // namespace
