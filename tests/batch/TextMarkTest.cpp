#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/ShapedPicture.h"
#include "batch/TextMark.h"
#include "jpeg/ExifBuilder.h"
#include "jpeg/JpegHead.h"

namespace {

BatchSettings textSettings(const std::string& text)
{
    BatchSettings settings;
    settings.useWatermark = settings.textWatermark = true;
    settings.watermarkText = text;
    return settings;
}

std::unique_ptr<TextMark> loaded(const BatchSettings& settings)
{
    std::string problem;
    auto mark = TextMark::load(settings, shippedFont(), problem);
    EXPECT_TRUE(mark) << problem;
    return mark;
}

// Tokens from EXIF, from XMP where EXIF has none, fallbacks where neither
// has a value; malformed and unknown tokens refused by name.
TEST(TextMark, TokensFromThePicture)
{
    JpegHead full;
    full.exif = exifWithTexts(true,
                              {{0x010F, "NIKON CORPORATION"}, {0x0110, "NIKON D750"}, {0x013B, "Jane\nDoe"},
                               {0x8298, "(c) JD"}},
                              {{0x9003, "2024:07:14 18:32:05"}, {0xA434, "50mm f/1.8"}});
    full.xmpCreator = "Not Her";
    JpegHead xmpOnly;
    xmpOnly.exif = exifWithTexts(false, {{0x010F, "Canon"}, {0x0110, "EOS R5"}}, {});
    xmpOnly.xmpCreator = "Robin";
    xmpOnly.xmpRights = "CC BY";
    xmpOnly.xmpDateTaken = "2023:01:02 03:04:05";
    JpegHead blank;
    blank.exif = exifWithTexts(false, {{0x010F, "  "}}, {{0x9003, "    :  :     :  :  "}});
    // A camera without a clock writes zeros; three letters and their end fit inside the entry.
    JpegHead zeros;
    zeros.exif = exifWithTexts(false, {{0x013B, "Bob"}, {0x0110, "D5"}}, {{0x9003, "0000:00:00 00:00:00"}});
    static const struct {
        const JpegHead* head;
        const char* text;
        const char* expected;
    } cases[] = {
        {&full, "{artist} © {year}", "Jane Doe © 2024"},
        {&full, "{date} {time} {camera} | {lens} {copyright}", "2024-07-14 18:32:05 NIKON D750 | 50mm f/1.8 (c) JD"},
        {&full, "{name}.{{x}}", "IMG_7.old.{x}"},
        {&xmpOnly, "{artist}, {copyright}, {date}, {camera}", "Robin, CC BY, 2023-01-02, Canon EOS R5"},
        {&blank, "© {artist|Jane Doe} {year|undated} {lens}", "© Jane Doe undated"},
        {&blank, "{camera}{artist}", ""},
        {&blank, "\u00a9 {artist} {year}", ""},
        {&zeros, "{artist} {camera} {year|undated} {date|no date}", "Bob D5 undated no date"},
    };
    for (const auto& c : cases) {
        const auto mark = loaded(textSettings(c.text));
        EXPECT_EQ(mark->textFor(pictureTags(*c.head), "/album/IMG_7.old.JPG"), c.expected) << c.text;
    }
    const struct {
        std::string text;
        const char* named;
    } refused[] = {
        {"{nmae}", "{nmae} is unknown"},      {"© {artist", "character 3 opens"}, {"50}", "character 3 closes"},
        {"{artist|{year}}", "character 9 stands"}, {" \t ", "is empty"},
        {std::string(1001, 'W'), "longer than 1000"},
    };
    for (const auto& r : refused) {
        std::string problem;
        EXPECT_FALSE(TextMark::load(textSettings(r.text), shippedFont(), problem)) << r.text;
        EXPECT_NE(problem.find(r.named), std::string::npos) << problem;
    }
}

int opaqueRows(const wxImage& mark, int above = 127)
{
    int rows = 0;
    for (int y = 0; y < mark.GetHeight(); ++y) {
        bool ink = false;
        for (int x = 0; x < mark.GetWidth() && !ink; ++x)
            ink = mark.GetAlpha(x, y) > above;
        rows += ink;
    }
    return rows;
}

// Letters are a share of the longer side, landscape or portrait, short text
// or long; a text too wide for the picture less its margins is made
// smaller, never cut off.
TEST(TextMark, LetterHeightFollowsTheLongerSide)
{
    BatchSettings settings = textSettings("x");
    settings.alpha = 1;
    settings.textShadow = false;
    settings.textSize = 5;
    const auto mark = loaded(settings);
    const int capitals = opaqueRows(*mark->image("H", 800, 533, 0));
    // DejaVu Sans' capitals stand 0.73 em tall: 29 of 40 pixels.
    EXPECT_NEAR(capitals, 0.729 * 40, 1.0);
    static const struct {
        int width, height, margin;
        const char* text;
    } cases[] = {
        {533, 800, 0, "H"}, {800, 533, 16, "HHHHHHH HHH"}, {533, 800, 16, "HH HH"}, {1200, 800, 0, "H"},
    };
    for (const auto& c : cases) {
        const auto image = mark->image(c.text, c.width, c.height, c.margin);
        const double expected = capitals * std::max(c.width, c.height) / 800.0;
        EXPECT_NEAR(opaqueRows(*image), expected, 1.0) << c.text << " in " << c.width << "x" << c.height;
    }
    const std::string longText(300, 'H');
    const auto squeezed = mark->image(longText, 533, 800, 16);
    EXPECT_LE(squeezed->GetWidth(), 533 - 2 * 16);
    EXPECT_GE(squeezed->GetWidth(), 533 - 2 * 16 - 8) << "fitted, not shrunk beyond the room";
    EXPECT_LT(opaqueRows(*squeezed), capitals);
}

// What a user may type or a picture may hold draws something sensible:
// other scripts, a very long text, characters no font has (named, left out).
TEST(TextMark, HostileTextsDrawOrAreNamed)
{
    const auto mark = loaded(textSettings("x"));
    EXPECT_EQ(mark->missingCharacters("Ωмж © ☺"), "");
    EXPECT_EQ(mark->missingCharacters("中 a 文 中"), "中文");
    for (const std::string& text : std::vector<std::string>{"שלום עולם", std::string(1000, 'W'), "a 中 b", "e\xCC\x81\xCC\x81"}) {
        const auto image = mark->image(text, 640, 480, 10);
        ASSERT_TRUE(image && image->IsOk()) << text.size();
        EXPECT_LE(image->GetWidth(), 620);
        EXPECT_GT(opaqueRows(*image, 0), 0) << text.substr(0, 20);
    }
    EXPECT_EQ(mark->textFor({}, "a\tb\x01.jpg"), "x");
    const auto named = loaded(textSettings("{name}  |  {artist}"));
    PictureTags tags;
    tags.artist = "Jane\r\n\tDoe ";
    EXPECT_EQ(named->textFor(tags, "line\nbreak.jpg"), "line break | Jane Doe");
}

// The font is an installed family or a file; anything else is refused with
// its name, never replaced by another font unasked.
TEST(TextMark, FontsAndColoursAreCheckedBeforeTheBatch)
{
    BatchSettings settings = textSettings("x");
    std::string problem;
    for (const auto& [font, colour, named] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"No Such Family 12", "#FFFFFF", "No Such Family 12"},
             {"", "#FFFFF", "#FFFFF"}, {"", "FF00GG", "FF00GG"},
             {"", "white", "white"},
             {shippedFont() + ".missing", "#000000", ".missing"}}) {
        settings.textFont = font;
        settings.textColour = colour;
        EXPECT_FALSE(TextMark::load(settings, shippedFont(), problem)) << font << colour;
        EXPECT_NE(problem.find(named), std::string::npos) << problem;
    }
    settings.textFont = shippedFont();
    settings.textColour = "00ff7F";
    EXPECT_TRUE(TextMark::load(settings, shippedFont(), problem)) << problem;
    EXPECT_FALSE(TextMark::load(settings, shippedFont() + "x", problem)) << "no fallback font";
}

// A batch draws each picture's own text where the plan put it, and names
// the characters no font has once, however many pictures hold them.
TEST(TextMark, BatchDrawsThePlannedTextAndNamesMissingCharactersOnce)
{
    TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg"}) {
        wxImage grey(300, 200);
        grey.SetRGB(wxRect(0, 0, 300, 200), 90, 90, 90);
        ASSERT_TRUE(grey.SaveFile(wxString::FromUTF8(dir.file(name)), wxBITMAP_TYPE_JPEG));
    }
    ProcessingJob job = plainJob(dir.path());
    job.settings = textSettings("中 {name} 文");
    job.settings.alpha = 1;
    job.settings.wmPlacement = 1;
    job.settings.textSize = 15;
    const auto mark = loaded(job.settings);
    job.textMark = mark.get();
    RecordingOwner owner;
    owner.run(job);
    const std::vector<std::string> messages = owner.messages();
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.find("letters for 中文,") != std::string::npos; }),
              1);
    const wxImage a = loadImage(dir.file("a.jpg"));
    // White letters over a dark shadow in the top left corner.
    int light = 0, dark = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            light += a.GetRed(x, y) > 200;
            dark += a.GetRed(x, y) < 40;
        }
    EXPECT_GT(light, 20);
    EXPECT_GT(dark, 20);
    EXPECT_LT(a.GetRed(299, 199), 110);
}

// The ground under the mark chooses: the calmest allowed place (ties to
// the earlier), dark letters or the bright-ground picture on bright ground.
TEST(TextMark, TheGroundChoosesPlaceAndTone)
{
    // Noise above; below, a bright left half and a dark right half.
    wxImage ground(300, 200, false);
    unsigned char* p = ground.GetData();
    for (int i = 0; i < 300 * 200; ++i, p += 3)
        p[0] = p[1] = p[2] = static_cast<unsigned char>((i * 7919 % 97) * 2 + 30);
    ground.SetRGB(wxRect(0, 100, 150, 100), 235, 235, 235);
    ground.SetRGB(wxRect(150, 100, 150, 100), 20, 20, 20);
    ProcessingJob job;
    job.settings = textSettings("HHH");
    job.settings.textColour = "auto";
    job.settings.autoPlacement = true;
    job.settings.alpha = 1;
    const auto mark = loaded(job.settings);
    job.textMark = mark.get();
    wxImage red(30, 20, false), blue(30, 20, false);
    red.SetRGB(wxRect(0, 0, 30, 20), 200, 0, 0);
    blue.SetRGB(wxRect(0, 0, 30, 20), 0, 0, 200);
    static const struct {
        bool text;
        const char* places;
        int place;
        const char* tone;
        int x, y;  // a pixel the mark covers
    } cases[] = {
        {true, "bottom-right,bottom-left", 7, "dark", 0, 0},
        {true, "top-left,bottom-right", 9, "light", 0, 0},
        {false, "bottom-left,top-right", 7, "dark", 10, 190},
        {false, "bottom-right", 9, "light", 290, 190},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.places);
        job.settings.autoPlaces = c.places;
        job.settings.textWatermark = c.text;
        job.watermarkImage = &red;
        job.brightWatermarkImage = &blue;
        job.resolved = resolveSettings(job.settings);
        wxImage marked = ground.Copy();
        const BlendedMark done = blendJobWatermark(marked, {}, job, "HHH", [](const wxString&, const wxString&) {});
        EXPECT_EQ(done.place, c.place);
        EXPECT_EQ(done.tone, c.tone);
        if (!c.text) {
            EXPECT_EQ(marked.GetBlue(c.x, c.y) > marked.GetRed(c.x, c.y), std::string(c.tone) == "dark");
            continue;
        }
        // The letters in the tone told: every pixel they change goes that
        // way without the shadow; the shadow, in the other tone, takes
        // some the other way.
        for (const bool shadow : {false, true}) {
            job.settings.textShadow = shadow;
            const auto drawn = loaded(job.settings);
            job.textMark = drawn.get();
            wxImage letters = ground.Copy();
            blendJobWatermark(letters, {}, job, "HHH", [](const wxString&, const wxString&) {});
            int darker = 0, lighter = 0;
            for (int y = 100; y < 200; ++y)
                for (int x = 0; x < 300; ++x) {
                    darker += letters.GetGreen(x, y) < ground.GetGreen(x, y);
                    lighter += letters.GetGreen(x, y) > ground.GetGreen(x, y);
                }
            const bool dark = std::string(c.tone) == "dark";
            EXPECT_GT(dark ? darker : lighter, 50) << shadow;
            EXPECT_EQ((dark ? lighter : darker) > 0, shadow);
        }
        job.settings.textShadow = true;
        job.textMark = mark.get();
    }
}

// The letters take the text's own opacity, whatever the logo's Alpha.
TEST(TextMark, LettersTakeTheirOwnOpacity)
{
    wxImage ground(300, 200, false);
    ground.SetRGB(wxRect(0, 0, 300, 200), 255, 255, 255);
    ProcessingJob job;
    job.settings = textSettings("HHH");
    job.settings.textColour = "#000000";
    job.settings.textShadow = false;
    job.settings.textSize = 20;  // stems wide enough to be covered whole
    job.settings.alpha = 0.2;
    for (const double opacity : {1.0, 0.5}) {
        job.settings.textOpacity = opacity;
        const auto mark = loaded(job.settings);
        job.textMark = mark.get();
        job.resolved = resolveSettings(job.settings);
        wxImage picture = ground.Copy();
        blendJobWatermark(picture, {}, job, "HHH", [](const wxString&, const wxString&) {});
        int darkest = 255;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 300; ++x)
                darkest = std::min(darkest, static_cast<int>(picture.GetGreen(x, y)));
        EXPECT_NEAR(darkest, 255 * (1 - opacity), 3) << opacity;
    }
}

}  // namespace
