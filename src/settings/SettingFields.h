#pragma once

#include <string>

#include <wx/translation.h>

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

// What a field holds, and so how its text is read and checked.
enum class SettingKind {
    yesNo,         // 1 or 0
    whole,         // a whole number from least to most
    decimal,       // a number from least to most ("." as the point)
    choice,        // one of values
    colour,        // #RRGGBB, or a word of values (auto)
    path,          // a file or folder, at most most bytes
    text,          // a name, at most most characters
    tokenText,     // a text mark's text with the picture's tokens
    nameTemplate,  // the results' names, with tokens; empty for the pictures' own
    places,        // places such as top-left,bottom-right
    kilobytes,     // 0 (no limit), or least to most KB: 500, 500K, 2M
};

// One setting: its key in prefs.cfg and presets, what it holds and may
// hold, how the file and the record take it, and tessaly-batch's option
// that sets it alone (its value read by this row) with the option's line
// of the help. Its default is BatchSettings' initial value.
struct SettingRow {
    const char* key;
    SettingKind kind;
    SavedAs saved;
    InRecord record;
    double least = 0;  // numbers: the smallest allowed
    double most = 0;   // numbers: the largest; texts: the longest
    bool aboveLeast = false;  // least itself is not allowed
    const char* values = nullptr;  // a choice's values, "|" between them
    const char* option = nullptr;  // the long option; a yes/no's "no-..." option sets it to 0
    const char* shortOption = nullptr;
    const char* valueName = nullptr;  // the option's value as the help names it
    const char* help = nullptr;  // untranslated, as wxTRANSLATE marks it

    constexpr SettingRow withOption(const char* name, const char* value, const char* line,
                                    const char* shortName = nullptr) const
    {
        SettingRow row = *this;
        row.option = name;
        row.valueName = value;
        row.help = line;
        row.shortOption = shortName;
        return row;
    }
};

// The longest text a setting holds: a text mark's line, a file's path.
constexpr double longestText = 1000;
constexpr double longestPath = 4096;

constexpr SettingRow yesNoRow(const char* key, SavedAs saved, InRecord record)
{
    return {key, SettingKind::yesNo, saved, record};
}

constexpr SettingRow numberRow(const char* key, SettingKind kind, double least, double most, SavedAs saved,
                               InRecord record, bool aboveLeast = false)
{
    return {key, kind, saved, record, least, most, aboveLeast};
}

constexpr SettingRow textRow(const char* key, SettingKind kind, SavedAs saved, InRecord record,
                             const char* values = nullptr)
{
    return {key, kind, saved, record, 0, kind == SettingKind::path ? longestPath : longestText, false, values};
}

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

// Every field of the record with its row, in prefs.cfg's order:
// visit(row, field). The names bound below must be all of BatchSettings'
// fields, so a new one cannot be forgotten here.
template <class Settings, class Visit>
void forEachSetting(Settings& settings, Visit&& visit)
{
    auto& [waterImgFile, resize, useWatermark, rotate, width, height, fitMode, fitMegapixels, alpha, quality,
           includeSubdirectories,
           wmPlacement, skipUnreadable, saveToFolder, resultsFolder, keepExif, keepGps, watermarkSize,
           watermarkMargin, convertToSrgb, skipProcessed, textWatermark, watermarkText, textFont, textColour,
           textSize, textShadow, outputFormat, progressive, fullChroma, maxFileSize, sharpening, autoPlacement,
           autoPlaces, brightWatermark, nameTemplate, focus, background, textOpacity] = settings;
    using S = SavedAs;
    using R = InRecord;
    using K = SettingKind;
    // The record takes the watermark by its pixels, not by its path.
    visit(textRow("WaterImgFile", K::path, S::fixedLine, R::no), waterImgFile);
    visit(yesNoRow("Resize", S::fixedLine, R::fixedPart), resize);
    visit(yesNoRow("UseWatermark", S::fixedLine, R::fixedPart), useWatermark);
    visit(yesNoRow("Rotate", S::fixedLine, R::fixedPart)
              .withOption("no-rotate", nullptr, wxTRANSLATE("do not turn pictures upright by their EXIF orientation")),
          rotate);
    visit(numberRow("Width", K::whole, 1, 1000000, S::fixedLine, R::fixedPart), width);
    visit(numberRow("Height", K::whole, 1, 1000000, S::fixedLine, R::no), height);
    visit(numberRow("Alpha", K::decimal, 0, 1, S::fixedLine, R::fixedPart)
              .withOption("opacity", "A", wxTRANSLATE("opacity 0.0..1.0 of a watermark without its own alpha (0.2)"),
                          "a"),
          alpha);
    visit(numberRow("Quality", K::whole, 0, 100, S::fixedLine, R::fixedPart)
              .withOption("quality", "N", wxTRANSLATE("JPEG quality 0..100 (82)"), "Q"),
          quality);
    visit(yesNoRow("IncludeSubdirectories", S::fixedLine, R::no)
              .withOption("recursive", nullptr, wxTRANSLATE("include all subfolders, hidden ones too"), "r"),
          includeSubdirectories);
    visit(numberRow("WmPlacement", K::whole, 1, 9, S::fixedLine, R::fixedPart), wmPlacement);
    visit(yesNoRow("SkipUnreadable", S::ownLine, R::no), skipUnreadable);
    visit(yesNoRow("SaveToFolder", S::ownLine, R::no), saveToFolder);
    visit(textRow("ResultsFolder", K::path, S::ownLine, R::no), resultsFolder);
    visit(yesNoRow("KeepExif", S::ownLine, R::no)
              .withOption("keep-exif", nullptr,
                          wxTRANSLATE("keep the EXIF data (date, camera, copyright), without thumbnail and GPS position")),
          keepExif);
    visit(yesNoRow("KeepGps", S::ownLine, R::no)
              .withOption("keep-gps", nullptr, wxTRANSLATE("with --keep-exif, keep the GPS position too")),
          keepGps);
    visit(numberRow("WatermarkSize", K::decimal, 0, 100, S::ownLine, R::fixedPart)
              .withOption("watermark-size", "P",
                          // xgettext:no-c-format
                          wxTRANSLATE("scale the watermark so that its longer side is P % of the picture's longer "
                                      "side")),
          watermarkSize);
    visit(numberRow("WatermarkMargin", K::decimal, 0, 49, S::ownLine, R::fixedPart)
              .withOption("margin", "P",
                          // xgettext:no-c-format
                          wxTRANSLATE("keep the watermark P % of the picture's longer side off the edges it touches")),
          watermarkMargin);
    visit(yesNoRow("ConvertToSrgb", S::ownLine, R::fixedPart)
              .withOption("srgb", nullptr, wxTRANSLATE("convert pictures with a colour profile into sRGB")),
          convertToSrgb);
    visit(yesNoRow("SkipProcessed", S::ownLine, R::no)
              .withOption("skip-processed", nullptr,
                          wxTRANSLATE("leave pictures this program already wrote with the same settings, as skipped")),
          skipProcessed);
    visit(yesNoRow("TextWatermark", S::ownLine, R::byKey), textWatermark);
    visit(textRow("WatermarkText", K::tokenText, S::ownLine, R::byKeyWithText), watermarkText);
    visit(textRow("TextFont", K::text, S::ownLine, R::byKeyWithText)
              .withOption("font", "NAME|FILE",
                          wxTRANSLATE("the text's font: an installed family or a font file (DejaVu Sans)")),
          textFont);
    visit(textRow("TextColour", K::colour, S::ownLine, R::byKeyWithText, "auto")
              .withOption("text-colour", "#RRGGBB",
                          wxTRANSLATE("the text's colour (#FFFFFF), or auto: light or dark, whichever stands out "
                                      "from the ground")),
          textColour);
    visit(numberRow("TextSize", K::decimal, 0, 100, S::ownLine, R::byKeyWithText, true)
              .withOption("text-size", "P",
                          // xgettext:no-c-format
                          wxTRANSLATE("the text's letter height in % of the picture's longer side (4)")),
          textSize);
    visit(yesNoRow("TextShadow", S::ownLine, R::byKeyWithText)
              .withOption("no-shadow", nullptr, wxTRANSLATE("draw the text without the shadow that keeps it readable")),
          textShadow);
    visit(textRow("OutputFormat", K::choice, S::ownLine, R::byKey, "jpeg|webp")
              .withOption("format", "FORMAT",
                          wxTRANSLATE("write results as jpeg or webp (jpeg); WebP results go beside the pictures or "
                                      "below --output, never over them")),
          outputFormat);
    visit(yesNoRow("Progressive", S::ownLine, R::byKey)
              .withOption("progressive", nullptr,
                          wxTRANSLATE("write progressive JPEG, shown coarse first while it loads")),
          progressive);
    visit(yesNoRow("FullChroma", S::ownLine, R::byKey), fullChroma);
    visit(numberRow("MaxFileSize", K::kilobytes, 8, 1000000, S::ownLine, R::byKey)
              .withOption("max-file-size", "SIZE",
                          wxTRANSLATE("at most SIZE a result (500K, 2M; K is 1000 bytes): the largest quality up to "
                                      "--quality that fits")),
          maxFileSize);
    visit(textRow("Sharpening", K::choice, S::ownLine, R::byKey, "off|low|standard|high")
              .withOption("sharpen", "LEVEL",
                          wxTRANSLATE("sharpen after the shrink: off, low, standard or high (off)")),
          sharpening);
    visit(yesNoRow("AutoPlacement", S::ownLine, R::byKey), autoPlacement);
    visit(textRow("AutoPlaces", K::places, S::ownLine, R::byKey)
              .withOption("auto-places", "LIST",
                          wxTRANSLATE("with --position auto, the places allowed, comma-separated "
                                      "(top-left,top-right,bottom-left,bottom-right)")),
          autoPlaces);
    // The record takes the second watermark by its pixels too.
    visit(textRow("WatermarkBright", K::path, S::ownLine, R::no)
              .withOption("watermark-bright", "FILE",
                          wxTRANSLATE("a second watermark FILE (a dark version) used where the ground under the mark "
                                      "is bright")),
          brightWatermark);
    // The record takes the fit as the rule it makes (see processingRecord).
    visit(textRow("FitMode", K::choice, S::ownLine, R::no, "box|long|short|width|height|frame|mp|cover|contain"),
          fitMode);
    visit(numberRow("FitMegapixels", K::decimal, 0.01, 1000, S::ownLine, R::no), fitMegapixels);
    // Names are no part of the pixels.
    visit(textRow("NameTemplate", K::nameTemplate, S::ownLine, R::no)
              .withOption("name", "TEMPLATE",
                          wxTRANSLATE("with --output, name the results by TEMPLATE, such as {date}_{name} or "
                                      "{year}/{camera}/{name}-{counter:3}: the --text tokens, "
                                      "{counter[:digits[,start]]}, {folder}, {width} and {height}; only a / of "
                                      "TEMPLATE makes a folder, and results that would share a name get \" (2)\"")),
          nameTemplate);
    // A frame's crop and border are in the record with the fit they belong to.
    visit(textRow("Focus", K::choice, S::ownLine, R::no, "detail|centre")
              .withOption("focus", "WHERE",
                          wxTRANSLATE("with --fit cover:WxH, keep the most detailed part of each picture (detail) or "
                                      "its centre (centre)")),
          focus);
    visit(textRow("Background", K::colour, S::ownLine, R::no)
              .withOption("background", "#RRGGBB",
                          wxTRANSLATE("with --fit contain:WxH, the colour around the picture (#FFFFFF)")),
          background);
    visit(numberRow("TextOpacity", K::decimal, 0, 1, S::ownLine, R::byKeyWithText)
              .withOption("text-opacity", "A", wxTRANSLATE("opacity 0.0..1.0 of the text's letters (0.8)")),
          textOpacity);
}
