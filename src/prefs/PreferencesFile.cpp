#include "prefs/PreferencesFile.h"

#include <charconv>
#include <cstdio>

#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "Version.h"
#include "prefs/ConfigFile.h"
#include "prefs/EscapedValue.h"

namespace {

const char* flag(bool value)
{
    return value ? "1" : "0";
}

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

// As few digits as read back the same number, with "." whatever the locale.
std::string shortest(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string defaultPreferencesText(const wxString& programDir)
{
    return "#Tessaly " TESSALY_VERSION " configuration file\n"
           "WorkingDir = /\n"
           "WaterImgFile = " + utf8(programDir) + "/data/wm.png\n"
           "Resize = 1\n"
           "UseWatermark = 1\n"
           "Rotate = 1\n"
           "Width = 800\n"
           "Height = 800\n"
           "Alpha = 0.2\n"
           "Quality = 82\n"
           "IncludeSubdirectories = 0\n"
           "WmPlacement = 5\n";
}

std::string savedPreferencesText(const PreferenceValues& v)
{
    // The blanks before most line feeds are part of the format; the reader strips them.
    return std::string("#Tessaly " TESSALY_VERSION " configuration file\n") +
           "WorkingDir = " + utf8(v.workingDir) + " \n" +
           "WaterImgFile = " + utf8(v.waterImgFile) + " \n" +
           "Resize = " + flag(v.resize) + " \n" +
           "UseWatermark = " + flag(v.useWatermark) + " \n" +
           "Rotate = " + flag(v.rotate) + " \n" +
           "Width = " + std::to_string(v.width) + " \n" +
           "Height = " + std::to_string(v.height) + " \n" +
           "Alpha = " + formatFixed(v.alpha, 6) + " \n" +
           "Quality = " + std::to_string(v.quality) + " \n" +
           "IncludeSubdirectories = " + flag(v.includeSubdirectories) + "\n" +
           "WmPlacement = " + std::to_string(v.wmPlacement) + " \n" +
           // Settings added later: written only when they differ from their
           // defaults, so that an untouched file stays as it always was.
           (v.skipUnreadable ? "SkipUnreadable = 1\n" : "") + (v.saveToFolder ? "SaveToFolder = 1\n" : "") +
           (v.resultsFolder.empty() ? "" : "ResultsFolder = " + escapeValue(utf8(v.resultsFolder)) + "\n") +
           (v.keepExif ? "KeepExif = 1\n" : "") + (v.keepGps ? "KeepGps = 1\n" : "") +
           (v.watermarkSize != 0 ? "WatermarkSize = " + shortest(v.watermarkSize) + "\n" : "") +
           (v.watermarkMargin != 0 ? "WatermarkMargin = " + shortest(v.watermarkMargin) + "\n" : "") +
           (v.convertToSrgb ? "ConvertToSrgb = 1\n" : "") + (v.skipProcessed ? "SkipProcessed = 1\n" : "");
}

void readPreferences(const ConfigFile& file, PreferenceValues& v)
{
    auto readText = [&file](const char* key, wxString& out) {
        std::string text;
        if (file.readValue(key, text))
            out = wxString::FromUTF8(text);
    };
    readText("WorkingDir", v.workingDir);
    readText("WaterImgFile", v.waterImgFile);
    file.readValue("Resize", v.resize);
    file.readValue("UseWatermark", v.useWatermark);
    file.readValue("Rotate", v.rotate);
    file.readValue("Width", v.width);
    file.readValue("Height", v.height);
    file.readValue("Alpha", v.alpha);
    file.readValue("Quality", v.quality);
    file.readValue("IncludeSubdirectories", v.includeSubdirectories);
    file.readValue("WmPlacement", v.wmPlacement);
    file.readValue("SkipUnreadable", v.skipUnreadable);
    file.readValue("SaveToFolder", v.saveToFolder);
    file.readValue("KeepExif", v.keepExif);
    file.readValue("KeepGps", v.keepGps);
    file.readValue("WatermarkSize", v.watermarkSize);
    file.readValue("WatermarkMargin", v.watermarkMargin);
    file.readValue("ConvertToSrgb", v.convertToSrgb);
    file.readValue("SkipProcessed", v.skipProcessed);
    std::string results;
    if (file.readValue("ResultsFolder", results))
        v.resultsFolder = wxString::FromUTF8(unescapeValue(results));
}

wxString programDirectory()
{
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
}
