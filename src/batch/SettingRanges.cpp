#include "batch/SettingRanges.h"

#include <algorithm>
#include <functional>
#include <type_traits>

#include "batch/NameTemplate.h"
#include "batch/PictureTokens.h"
#include "batch/TextMark.h"
#include "pixel/MarkPlacement.h"
#include "pixel/ResultSize.h"
#include "pixel/Sharpening.h"
#include "settings/SettingFields.h"

namespace {

bool within(double value, double least, double most)
{
    return value >= least && value <= most;
}

// Each checked field's key with what it may hold.
const struct {
    const char* key;
    std::function<bool(const BatchSettings&)> fits;
} checks[] = {
    {"Width", [](const BatchSettings& s) { return within(s.width, 0, 1000000); }},
    {"Height", [](const BatchSettings& s) { return within(s.height, 0, 1000000); }},
    {"FitMode", [](const BatchSettings& s) { FitMode mode; return fitModeFromName(s.fitMode, mode); }},
    {"FitMegapixels", [](const BatchSettings& s) { return within(s.fitMegapixels, 0.01, 1000); }},
    {"Alpha", [](const BatchSettings& s) { return within(s.alpha, 0, 1); }},
    {"Quality", [](const BatchSettings& s) { return within(s.quality, 0, 100); }},
    {"WmPlacement", [](const BatchSettings& s) { return within(s.wmPlacement, 1, 9); }},
    {"WatermarkSize", [](const BatchSettings& s) { return within(s.watermarkSize, 0, 100); }},
    {"WatermarkMargin", [](const BatchSettings& s) { return within(s.watermarkMargin, 0, 49); }},
    {"TextSize", [](const BatchSettings& s) { return s.textSize > 0 && s.textSize <= 100; }},
    {"TextColour",
     [](const BatchSettings& s) {
         unsigned char rgb[3];
         return s.textColour == "auto" || colourFromText(s.textColour, rgb);
     }},
    {"WatermarkText",
     [](const BatchSettings& s) {
         TokenText text;
         std::string error;
         return TokenText::parse(s.watermarkText, pictureTokenNames(), text, error);
     }},
    {"OutputFormat", [](const BatchSettings& s) { return s.outputFormat == "jpeg" || s.outputFormat == "webp"; }},
    {"MaxFileSize", [](const BatchSettings& s) { return s.maxFileSize == 0 || within(s.maxFileSize, 8, 1000000); }},
    {"Sharpening", [](const BatchSettings& s) { Sharpening level; return sharpeningFromName(s.sharpening, level); }},
    {"AutoPlaces", [](const BatchSettings& s) { std::vector<int> places; return placesFromList(s.autoPlaces, places); }},
    {"NameTemplate",
     [](const BatchSettings& s) {
         NameTemplate names;
         std::string error;
         return s.nameTemplate.empty() || NameTemplate::parse(s.nameTemplate, names, error);
     }},
};

}  // namespace

std::vector<std::string> keepInRange(BatchSettings& settings)
{
    std::vector<std::string> bad;
    for (const auto& check : checks)
        if (!check.fits(settings))
            bad.push_back(check.key);
    std::vector<std::string> told;
    const BatchSettings defaults;
    forEachSetting(settings, [&](const char* key, auto& value, SavedAs, InRecord) {
        if (std::find(bad.begin(), bad.end(), key) == bad.end())
            return;
        told.push_back(std::string(key) + " = " + settingText(value));
        forEachSetting(defaults, [&](const char* other, const auto& standard, SavedAs, InRecord) {
            if constexpr (std::is_same_v<std::decay_t<decltype(standard)>, std::decay_t<decltype(value)>>)
                if (std::string(other) == key)
                    value = standard;
        });
    });
    return told;
}
