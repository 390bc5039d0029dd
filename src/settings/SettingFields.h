#pragma once

#include <string>

#include "settings/BatchSettings.h"
#include "diag/FixedNumber.h"

// How a prefs.cfg holds a field: on the fixed lines every file has, or on
// a line of its own written only when it differs from its default, so that
// an untouched file stays as it always was.
enum class SavedAs { fixedLine, ownLine };

// How the processing record takes a field: not at all (it leaves the
// pixels alone), in the record's fixed part, by its key and value, or so
// only while a text mark is drawn.
enum class InRecord { no, fixedPart, byKey, byKeyWithText };

// A field's value as prefs.cfg's fixed lines and the processing record
// write it: texts as they are, flags as 1 or 0, opacity with six decimals.
inline std::string settingText(const std::string& value)
{
    return value;
}

inline std::string settingText(bool value)
{
    return value ? "1" : "0";
}

inline std::string settingText(int value)
{
    return std::to_string(value);
}

inline std::string settingText(double value)
{
    return formatFixed(value, 6);
}

// Every field of the record with its prefs.cfg key, in the file's order:
// visit(key, field, SavedAs, InRecord). The names bound below must be all
// of BatchSettings' fields, so a new one cannot be forgotten here.
template <class Settings, class Visit>
void forEachSetting(Settings& settings, Visit&& visit)
{
    auto& [waterImgFile, resize, useWatermark, rotate, width, height, fitMode, fitMegapixels, alpha, quality,
           includeSubdirectories,
           wmPlacement, skipUnreadable, saveToFolder, resultsFolder, keepExif, keepGps, watermarkSize,
           watermarkMargin, convertToSrgb, skipProcessed, textWatermark, watermarkText, textFont, textColour,
           textSize, textShadow, outputFormat, progressive, fullChroma, maxFileSize, sharpening, autoPlacement,
           autoPlaces, brightWatermark, nameTemplate] = settings;
    using S = SavedAs;
    using R = InRecord;
    // The record takes the watermark by its pixels, not by its path.
    visit("WaterImgFile", waterImgFile, S::fixedLine, R::no);
    visit("Resize", resize, S::fixedLine, R::fixedPart);
    visit("UseWatermark", useWatermark, S::fixedLine, R::fixedPart);
    visit("Rotate", rotate, S::fixedLine, R::fixedPart);
    visit("Width", width, S::fixedLine, R::fixedPart);
    visit("Height", height, S::fixedLine, R::no);
    visit("Alpha", alpha, S::fixedLine, R::fixedPart);
    visit("Quality", quality, S::fixedLine, R::fixedPart);
    visit("IncludeSubdirectories", includeSubdirectories, S::fixedLine, R::no);
    visit("WmPlacement", wmPlacement, S::fixedLine, R::fixedPart);
    visit("SkipUnreadable", skipUnreadable, S::ownLine, R::no);
    visit("SaveToFolder", saveToFolder, S::ownLine, R::no);
    visit("ResultsFolder", resultsFolder, S::ownLine, R::no);
    visit("KeepExif", keepExif, S::ownLine, R::no);
    visit("KeepGps", keepGps, S::ownLine, R::no);
    visit("WatermarkSize", watermarkSize, S::ownLine, R::fixedPart);
    visit("WatermarkMargin", watermarkMargin, S::ownLine, R::fixedPart);
    visit("ConvertToSrgb", convertToSrgb, S::ownLine, R::fixedPart);
    visit("SkipProcessed", skipProcessed, S::ownLine, R::no);
    visit("TextWatermark", textWatermark, S::ownLine, R::byKey);
    visit("WatermarkText", watermarkText, S::ownLine, R::byKeyWithText);
    visit("TextFont", textFont, S::ownLine, R::byKeyWithText);
    visit("TextColour", textColour, S::ownLine, R::byKeyWithText);
    visit("TextSize", textSize, S::ownLine, R::byKeyWithText);
    visit("TextShadow", textShadow, S::ownLine, R::byKeyWithText);
    visit("OutputFormat", outputFormat, S::ownLine, R::byKey);
    visit("Progressive", progressive, S::ownLine, R::byKey);
    visit("FullChroma", fullChroma, S::ownLine, R::byKey);
    visit("MaxFileSize", maxFileSize, S::ownLine, R::byKey);
    visit("Sharpening", sharpening, S::ownLine, R::byKey);
    visit("AutoPlacement", autoPlacement, S::ownLine, R::byKey);
    visit("AutoPlaces", autoPlaces, S::ownLine, R::byKey);
    // The record takes the second watermark by its pixels too.
    visit("WatermarkBright", brightWatermark, S::ownLine, R::no);
    // The record takes the fit as the rule it makes (see processingRecord).
    visit("FitMode", fitMode, S::ownLine, R::no);
    visit("FitMegapixels", fitMegapixels, S::ownLine, R::no);
    // Names are no part of the pixels.
    visit("NameTemplate", nameTemplate, S::ownLine, R::no);
}
