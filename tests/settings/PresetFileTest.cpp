#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/SettingLines.h"
#include "jpeg/ExifBuilder.h"
#include "platform/PathNames.h"
#include "settings/PresetFile.h"

// Every setting goes into a preset and comes back; a preset changes only
// what it names; a value out of its range refuses the preset, named with
// the file, the line and the key.
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
    ASSERT_TRUE(takePreset(presetPath(folder, "web"), read, warnings, error)) << error;
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
        std::string refused;  // in the error, beside the file's name; empty: taken
        int quality;
    } cases[] = {
        {head + "Quality = 90\nEndPreset\n", {}, "", 90},
        {head + "Quality = 90\nQualty = 70\nEndPreset\n", {"the key Qualty is unknown"}, "", 90},
        {"PresetVersion = 3\nQuality = 90\nEndPreset\n", {"PresetVersion = 3 is a newer preset"}, "", 90},
        {head + "Quality = 9", {"ends before its EndPreset line"}, "", 9},
        {"Quality = 90\nEndPreset\n", {}, "no PresetVersion line", 50},
        {head + "Quality = 90\nSharpening = max\nEndPreset\n", {},
         "line 4: Sharpening cannot be max; it takes off, low, standard or high", 50},
        {head + "Quality = 250\nEndPreset\n", {}, "line 3: Quality cannot be 250; it takes a number from 0 to 100", 50},
        {head + "WatermarkText = {artist {bogus}\nEndPreset\n", {}, "line 3: WatermarkText cannot be {artist {bogus}: ",
         50},
        {head + "Width = 0\nEndPreset\n", {}, "Width cannot be 0; it takes a number from 1 to 1000000", 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(dir.file("p.cfg"), Bytes(c.text.begin(), c.text.end()));
        // What the preset does not name stays as it was.
        BatchSettings settings;
        settings.quality = 50;
        settings.resize = false;
        warnings.clear();
        error.clear();
        EXPECT_EQ(takePreset(dir.file("p.cfg"), settings, warnings, error), c.refused.empty());
        ASSERT_EQ(warnings.size(), c.warned.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_NE(warnings[i].find(c.warned[i]), std::string::npos) << warnings[i];
            EXPECT_NE(warnings[i].find(shownPath(dir.file("p.cfg"))), std::string::npos) << warnings[i];
        }
        EXPECT_EQ(settings.quality, c.quality);
        EXPECT_FALSE(settings.resize);
        EXPECT_NE(error.find(c.refused), std::string::npos) << error;
        EXPECT_EQ(error.find(shownPath(dir.file("p.cfg"))) != std::string::npos, !c.refused.empty()) << error;
    }
    EXPECT_FALSE(takePreset(dir.file("none.cfg"), read, warnings, error));
    for (const char* bad : {"", ".hidden", "a/b", "a\\b", "CON", "x:y", "trailing."})
        EXPECT_FALSE(presetNameFits(bad)) << bad;
    EXPECT_TRUE(presetNameFits("Instagram 1080"));
    ASSERT_TRUE(deletePreset(folder, "thumbs", error));
    EXPECT_EQ(presetNames(folder), std::vector<std::string>{"web"});
}
