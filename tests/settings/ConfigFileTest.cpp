#include <cfloat>
#include <climits>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/SettingLines.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"

namespace {

class ConfigFileTest : public testing::Test {
protected:
    TempDir dir;

    ConfigFile load(const std::string& text)
    {
        const std::string path = dir.file("test.cfg");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        return ConfigFile(path, "=", "#", "EndConfigFile");
    }
};

// The file read as the window reads it: the fixed lines as they always
// were, the later ones by their rows, none of them refused.
void readAsWindow(const ConfigFile& file, BatchSettings& settings, std::string& workingDir)
{
    readPreferences(file, settings, workingDir);
    EXPECT_EQ(takeSettingLines(file, "prefs.cfg", SettingsForm::preferences, settings, true),
              std::vector<std::string>{});
}

struct TextCase {
    const char* name;
    std::string file;
    const char* key;
    bool present;
    std::string value;
};

TEST_F(ConfigFileTest, TextValues)
{
    static const TextCase cases[] = {
        {"plain", "Width = 800\n", "Width", true, "800"},
        {"no spaces", "Width=800\n", "Width", true, "800"},
        {"padded", "  Width  =  800  \n", "Width", true, "800"},
        {"keys keep their case", "width = 800\n", "Width", false, ""},
        {"first delimiter splits", "Path = C:\\a=b\n", "Path", true, "C:\\a=b"},
        {"comment cuts the value", "WaterImgFile = C:\\pics#1\\wm.png\n", "WaterImgFile", true, "C:\\pics"},
        {"trailing comment", "Alpha = 0.5 # opacity\n", "Alpha", true, "0.5"},
        {"commented-out line", "# Alpha = 0.5\n", "Alpha", false, ""},
        {"later line wins", "Quality = 70\nx = 1\nQuality = 90\n", "Quality", true, "90"},
        {"continuation", "Note = first part\n  second part\n", "Note", true, "first part\n  second part"},
        {"blank line ends a value", "Note = first part\n\n  second part\n", "Note", true, "first part"},
        {"comment-only line inside a value", "Note = a\n# c\nb\n", "Note", true, "a\nb"},
        {"indented comment inside a value", "Note = a\n  # c\nb\n", "Note", true, "a  \nb"},
        {"next key ends a value", "Note = a\nb\nKey = c\n", "Key", true, "c"},
        {"sentry ends the reading", "A = 1\nEndConfigFile\nB = 2\n", "B", false, ""},
        {"sentry anywhere in a line", "Note = EndConfigFile here\nB = 2\n", "Note", false, ""},
        {"sentry in a comment is cut first", "A = 1 # EndConfigFile\nB = 2\n", "B", true, "2"},
        {"sentry ends a value", "Note = a\nb EndConfigFile\nc\n", "Note", true, "a"},
        {"last line without line feed", "A = 1\nB = 2", "B", true, "2"},
        {"CRLF line ends", "A = 1\r\nB = two\r\n", "B", true, "two"},
        {"CRLF continuation", "A = 1\r\n  more\r\n", "A", true, "1\n  more"},
        {"empty key", "= x\n", "", true, "x"},
        {"empty value", "Resize =\n", "Resize", true, ""},
        {"inner blanks stay", "My Key = a  b\n", "My Key", true, "a  b"},
        {"tabs and form feeds stripped", "\tK\f=\v v \t\n", "K", true, "v"},
        {"line without delimiter ignored", "garbage\nK = v\n", "K", true, "v"},
        {"empty file", "", "K", false, ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigFile file = load(c.file);
        std::string value = "untouched";
        EXPECT_EQ(file.readValue(c.key, value), c.present);
        EXPECT_EQ(value, c.present ? c.value : "untouched");
    }
}

TEST_F(ConfigFileTest, BoolValues)
{
    static const struct {
        const char* text;
        bool expected;
    } cases[] = {
        {"0", false}, {"no", false}, {"No", false}, {"N", false}, {"n", false}, {"FALSE", false}, {"False", false},
        {"f", false}, {"NONE", false}, {"none", false}, {"1", true}, {"off", true}, {"00", true}, {"0.0", true},
        {"", true}, {"yes", true}, {"nein", true}, {"\xC3\xB1o", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ConfigFile file = load(std::string("Resize = ") + c.text + "\n");
        bool value = !c.expected;
        EXPECT_TRUE(file.readValue("Resize", value));
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(ConfigFileTest, NumericPrefixes)
{
    static const struct {
        const char* text;
        int integer;
        double number;
    } cases[] = {
        {"800", 800, 800},
        {"800px", 800, 800},
        {"12.7", 12, 12.7},
        {"0x10", 0, 0},
        {"-7", -7, -7},
        {"+5", 5, 5},
        {"abc", 0, 0},
        {"", 0, 0},
        {"0,5", 0, 0},
        {".5", 0, 0.5},
        {"5.", 5, 5},
        {"1e3", 1, 1000},
        {"1e", 1, 1},
        {"2E-2x", 2, 0.02},
        {"- 3", 0, 0},
        {"99999999999", INT_MAX, 99999999999.0},
        {"-99999999999", INT_MIN, -99999999999.0},
        {"1e999", 1, DBL_MAX},
        {"-1e999", -1, -DBL_MAX},
        {"inf", 0, 0},
        {"nan", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const ConfigFile file = load(std::string("N = ") + c.text + "\n");
        int integer = 12345;
        double number = 12345;
        EXPECT_TRUE(file.readValue("N", integer));
        EXPECT_TRUE(file.readValue("N", number));
        EXPECT_EQ(integer, c.integer);
        EXPECT_EQ(number, c.number);
    }
}

TEST_F(ConfigFileTest, AbsentKeysLeaveTheVariable)
{
    const ConfigFile file = load("# only a comment\n");
    int integer = 3;
    double number = 0.25;
    bool flag = true;
    EXPECT_FALSE(file.readValue("Width", integer));
    EXPECT_FALSE(file.readValue("Alpha", number));
    EXPECT_FALSE(file.readValue("Resize", flag));
    EXPECT_EQ(integer, 3);
    EXPECT_EQ(number, 0.25);
    EXPECT_TRUE(flag);
}

TEST_F(ConfigFileTest, MissingFileThrowsWithItsName)
{
    try {
        ConfigFile file(dir.file("none.cfg"), "=", "#", "EndConfigFile");
        FAIL() << "no exception";
    } catch (const ConfigFile::file_not_found& e) {
        EXPECT_EQ(e.fileName, dir.file("none.cfg"));
    }
}

TEST_F(ConfigFileTest, StripWhitespace)
{
    static const struct {
        std::string in, out;
    } cases[] = {{" \t a b \r\n", "a b"}, {"\v\f", ""}, {"", ""}, {"x", "x"}};
    for (const auto& c : cases) {
        std::string text = c.in;
        ConfigFile::stripWhitespace(text);
        EXPECT_EQ(text, c.out);
    }
}

// Every setting comes back as it was saved, and one added after the fixed
// lines is written only away from its default. The results folder also
// survives the file's comment marker, its blank stripping, its line joining
// and its end word.
TEST_F(ConfigFileTest, EverySettingRoundTrips)
{
    const std::string untouched = savedPreferencesText(BatchSettings{}, "/");
    EXPECT_EQ(untouched.substr(untouched.find("WmPlacement")), "WmPlacement = 5 \n");
    const auto readBack = [this](const std::string& text) {
        BatchSettings read;
        std::string folder;
        readAsWindow(load(text + "Later = 1\n"), read, folder);
        EXPECT_EQ(folder, "/");
        return savedPreferencesText(read, "/");
    };
    for (int i = 0;; ++i) {
        BatchSettings saved;
        const ChangedSetting changed = changeSetting(saved, i);
        if (changed.key.empty())
            break;
        SCOPED_TRACE(changed.key);
        const std::string text = savedPreferencesText(saved, "/");
        EXPECT_NE(text, untouched);
        EXPECT_EQ(readBack(text), text);
    }
    // The keys as files already on disk spell them: a key misspelt in the
    // field list would lose the setting on the next start.
    BatchSettings read;
    std::string workingDir;
    readAsWindow(load(untouched + "SkipUnreadable = 1\nSaveToFolder = 1\nResultsFolder = /r\nKeepExif = 1\n"
                                     "KeepGps = 1\nWatermarkSize = 12.5\nWatermarkMargin = 3\nConvertToSrgb = 1\n"
                                     "SkipProcessed = 1\n"),
                    read, workingDir);
    EXPECT_TRUE(read.skipUnreadable && read.saveToFolder && read.keepExif && read.keepGps && read.convertToSrgb &&
                read.skipProcessed);
    EXPECT_EQ(read.resultsFolder, "/r");
    EXPECT_EQ(read.watermarkSize, 12.5);
    EXPECT_EQ(read.watermarkMargin, 3);
    readAsWindow(load(untouched + "TextWatermark = 1\nWatermarkText = %A9 {year}\nTextFont = Serif\n"
                                     "TextColour = %23102030\nTextSize = 6.5\nTextShadow = 0\nOutputFormat = webp\n"
                                     "Progressive = 1\nFullChroma = 1\nMaxFileSize = 500\nSharpening = low\n"),
                    read, workingDir);
    EXPECT_TRUE(read.textWatermark && !read.textShadow && read.progressive && read.fullChroma);
    EXPECT_EQ(read.watermarkText + read.textFont + read.textColour + read.outputFormat + read.sharpening,
              "\xA9 {year}Serif#102030webplow");
    EXPECT_EQ(read.textSize, 6.5);
    EXPECT_EQ(read.maxFileSize, 500);
    for (const char* folder : {"/photos/#web", "  /lead and trail  ", "/a/EndConfigFile/b", "/100%25 sure %",
                               "/ünïcode\tand\nbreak = x", "#"}) {
        SCOPED_TRACE(folder);
        BatchSettings saved;
        saved.resultsFolder = folder;
        BatchSettings read;
        std::string workingDir;
        readAsWindow(load(savedPreferencesText(saved, "/")), read, workingDir);
        EXPECT_EQ(read.resultsFolder, folder);
    }
}

}  // namespace
