#include <gtest/gtest.h>

#include "pixel/ResultSize.h"

// Each fit at its edges: exact sizes, a picture within the rule kept as it
// is, never enlarged.
TEST(ResultSize, FitModes)
{
    static const struct {
        const char* rule;
        long long width, height;
        bool shrinks;
        long long fittedWidth, fittedHeight;
    } cases[] = {
        {"box:800", 1600, 1200, true, 800, 600},
        {"box:800", 800, 800, false, 800, 800},
        {"box:800", 801, 10, true, 800, 9},
        {"long:800", 1200, 1600, true, 600, 800},
        {"long:1600", 1600, 1599, false, 1600, 1599},
        {"short:1080", 4000, 3000, true, 1440, 1080},
        {"short:1080", 3000, 4000, true, 1080, 1440},
        {"short:1080", 1081, 1081, true, 1080, 1080},
        {"short:1080", 5000, 1080, false, 5000, 1080},
        {"width:1200", 1201, 900, true, 1200, 899},
        {"width:1200", 1200, 9000, false, 1200, 9000},
        {"width:100", 100000, 10, true, 100, 1},  // a side never reaches 0
        {"height:900", 1600, 1200, true, 1200, 900},
        {"height:900", 5000, 900, false, 5000, 900},
        {"1920x1080", 4000, 3000, true, 1440, 1080},
        {"1920x1080", 4000, 1000, true, 1920, 480},
        {"1920x1080", 1920, 1080, false, 1920, 1080},
        {"1920x1080", 1921, 1080, true, 1920, 1079},
        {"mp:2", 4000, 3000, true, 1633, 1224},
        {"mp:2", 2000, 1000, false, 2000, 1000},
        {"mp:2", 2001, 1000, true, 2000, 999},
        {"mp:0.01", 1000, 1000, true, 100, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rule) + " on " + std::to_string(c.width) + "x" + std::to_string(c.height));
        SizeRule rule;
        ASSERT_TRUE(sizeRuleFromText(c.rule, rule));
        EXPECT_EQ(sizeRuleText(rule), c.rule);
        FittedSize fitted{0, 0};
        EXPECT_EQ(shrinksUnder(rule, c.width, c.height, fitted), c.shrinks);
        EXPECT_EQ(fitted.width, c.fittedWidth);
        EXPECT_EQ(fitted.height, c.fittedHeight);
        if (rule.mode == FitMode::megapixels) {
            EXPECT_LE(fitted.width * fitted.height, static_cast<long long>(rule.megapixels * 1e6 + 0.5));
        }
    }
    SizeRule rule;
    for (const char* wrong : {"long:0", "long:", "wide:800", "1920x", "x1080", "1920X1080", "frame:800", "mp:0",
                              "mp:1,5", "mp:2.555", "mp:.5", "long:-5", "long:1600px", "800"})
        EXPECT_FALSE(sizeRuleFromText(wrong, rule)) << wrong;
}
