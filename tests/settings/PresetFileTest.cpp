#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/SettingRanges.h"
#include "jpeg/ExifBuilder.h"
#include "settings/PresetFile.h"

// Every setting goes into a preset and comes back; a preset with faults is
// taken as far as it is right, each fault named with the file.
TEST(PresetFile, RoundTripAndFaults)
{
    TempDir dir;
    const std::string folder = dir.file("settings/presets");
    BatchSettings chosen;
    chosen.fitMode = "short";
    chosen.width = 1080;
    chosen.fitMegapixels = 1.5;
    chosen.nameTemplate = "{date}_{name} = x";
    chosen.watermarkText = "\u00a9 Zo\u00eb\n{year}";
    chosen.alpha = 0.35;
    chosen.resize = false;
    chosen.resultsFolder = "C:\\Users\\Zo\u00eb\\web";
    chosen.saveToFolder = true;
    std::string error;
    ASSERT_TRUE(writePreset(folder, "web", chosen, error)) << error;
    ASSERT_TRUE(writePreset(folder, "thumbs", BatchSettings{}, error)) << error;
    EXPECT_EQ(presetNames(folder), (std::vector<std::string>{"thumbs", "web"}));
    BatchSettings read;
    std::vector<std::string> warnings;
    ASSERT_TRUE(readPreset(presetPath(folder, "web"), read, warnings, error)) << error;
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(presetText(read), presetText(chosen));
    EXPECT_EQ(read.fitMode, "short");
    EXPECT_EQ(read.nameTemplate, chosen.nameTemplate);
    EXPECT_EQ(read.watermarkText, chosen.watermarkText);
    EXPECT_FALSE(read.resize);

    const std::string head = "#Tessaly preset\nPresetVersion = 1\n";
    static const struct {
        std::string text;
        std::vector<std::string> warned;  // each in one warning, with the file's name
        bool taken;
        int quality;
    } cases[] = {
        {head + "Quality = 90\nEndPreset\n", {}, true, 90},
        {head + "Quality = 90\nQualty = 70\nEndPreset\n", {"the key Qualty is unknown"}, true, 90},
        {"PresetVersion = 3\nQuality = 90\nEndPreset\n", {"PresetVersion = 3 is a newer preset"}, true, 90},
        {head + "Quality = 9", {"ends before its EndPreset line"}, true, 9},
        {"Quality = 90\nEndPreset\n", {}, false, 82},
        {head + "Quality = 250\nSharpening = max\nWmPlacement = 0\nFitMode = wide\nEndPreset\n",
         {"Quality = 250", "WmPlacement = 0", "Sharpening = max", "FitMode = wide"}, true, 82},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(dir.file("p.cfg"), Bytes(c.text.begin(), c.text.end()));
        BatchSettings settings;
        warnings.clear();
        error.clear();
        EXPECT_EQ(readPreset(dir.file("p.cfg"), settings, warnings, error), c.taken);
        for (const std::string& bad : keepInRange(settings))
            warnings.push_back(dir.file("p.cfg") + ": " + bad);
        ASSERT_EQ(warnings.size(), c.warned.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_NE(warnings[i].find(c.warned[i]), std::string::npos) << warnings[i];
            EXPECT_NE(warnings[i].find(dir.file("p.cfg")), std::string::npos) << warnings[i];
        }
        EXPECT_EQ(settings.quality, c.quality);
        EXPECT_EQ(error.empty(), c.taken) << error;
    }
    EXPECT_FALSE(readPreset(dir.file("none.cfg"), read, warnings, error));
    for (const char* bad : {"", ".hidden", "a/b", "a\\b", "CON", "x:y", "trailing."})
        EXPECT_FALSE(presetNameFits(bad)) << bad;
    EXPECT_TRUE(presetNameFits("Instagram 1080"));
    ASSERT_TRUE(deletePreset(folder, "thumbs", error));
    EXPECT_EQ(presetNames(folder), std::vector<std::string>{"web"});
}
