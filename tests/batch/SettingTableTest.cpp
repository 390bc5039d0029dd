#include <gtest/gtest.h>

#include "batch/SettingTable.h"
#include "pixel/ResultSize.h"
#include "pixel/Sharpening.h"

namespace {

// A value's text is taken whole, by its row, or not at all.
TEST(SettingTable, TextsAreTakenWholeByTheirRow)
{
    static const struct {
        const char* key;
        const char* text;
        bool taken;
        double value;  // numbers and flags as read; texts as 0
    } cases[] = {
        {"MaxFileSize", "2M", true, 2000},       {"MaxFileSize", "2mb", true, 2000},
        {"MaxFileSize", "500K", true, 500},      {"MaxFileSize", "500KB", true, 500},
        {"MaxFileSize", "500", true, 500},       {"MaxFileSize", "0", true, 0},
        {"MaxFileSize", "7", false, 0},          {"MaxFileSize", "1000M", true, 1000000},
        {"MaxFileSize", "M", false, 0},          {"MaxFileSize", "99999999999M", false, 0},
        {"Width", "800px", false, 0},            {"Width", "+800", true, 800},
        {"Width", "1000000", true, 1000000},     {"Width", "1000001", false, 0},
        {"Width", "99999999999999999999", false, 0}, {"Quality", "12.7", false, 0},
        {"Alpha", "0,5", false, 0},              {"Alpha", "inf", false, 0},
        {"Alpha", "5e-1", true, 0.5},            {"Alpha", "-0", true, 0},
        {"TextSize", "0", false, 0},             {"TextSize", "0.01", true, 0.01},
        {"FitMegapixels", "1e400", false, 0},    {"Resize", "no", true, 0},
        {"Resize", "Yes", true, 1},              {"Resize", "off", false, 0},
        {"Resize", "", false, 0},                {"OutputFormat", "webp", true, 0},
        {"OutputFormat", "WEBP", false, 0},      {"TextColour", "auto", true, 0},
        {"TextColour", "#A0b0C0", true, 0},      {"TextColour", "#A0B0C", false, 0},
        {"Background", "auto", false, 0},        {"Background", "#000000", true, 0},
        {"FitMode", "cover", true, 0},           {"Focus", "center", false, 0},
        {"AutoPlaces", "top,bottom-left", true, 0}, {"AutoPlaces", "", false, 0},
        {"NameTemplate", "", true, 0},           {"NameTemplate", "{nme}", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.text);
        const SettingRow* row = rowOfKey(c.key);
        ASSERT_NE(row, nullptr);
        BatchSettings settings;
        bool taken = false;
        double value = 0;
        forEachSetting(settings, [&](const SettingRow& each, auto& field) {
            std::string why;
            if (std::string(each.key) != c.key)
                return;
            taken = settingFromText(each, c.text, field, why);
            EXPECT_EQ(why.empty(), taken) << why;
            if constexpr (!std::is_same_v<std::decay_t<decltype(field)>, std::string>)
                value = static_cast<double>(field);
        });
        EXPECT_EQ(taken, c.taken);
        if (taken) {
            EXPECT_EQ(value, c.value);
        }
        EXPECT_TRUE(settingFaults(settings).empty());
    }
    // A choice's values are those the engine reads.
    for (const char* mode : {"box", "long", "short", "width", "height", "frame", "mp"}) {
        FitMode read;
        EXPECT_TRUE(fitModeFromName(mode, read)) << mode;
        EXPECT_NE(allowedText(*rowOfKey("FitMode")).find(mode), std::string::npos) << mode;
    }
    for (const char* level : {"off", "low", "standard", "high"}) {
        Sharpening read;
        EXPECT_TRUE(sharpeningFromName(level, read)) << level;
        EXPECT_NE(allowedText(*rowOfKey("Sharpening")).find(level), std::string::npos) << level;
    }
    BatchSettings outside;
    outside.watermarkSize = 100000;
    outside.sharpening = "max";
    ASSERT_EQ(settingFaults(outside).size(), 2u);
    EXPECT_STREQ(settingFaults(outside)[0].row->key, "WatermarkSize");
    EXPECT_EQ(settingFaults(outside)[1].why, "off, low, standard or high");
}

}  // namespace
