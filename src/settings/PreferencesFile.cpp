#include "settings/PreferencesFile.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "Version.h"
#include "settings/SettingFields.h"
#include "diag/FixedNumber.h"
#include "settings/ConfigFile.h"
#include "settings/EscapedValue.h"
#include "text/UserLanguage.h"

namespace {

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

// A value on a line of its own: texts escaped, numbers as short as they read back.
std::string ownText(const std::string& value)
{
    return escapeValue(value);
}

std::string ownText(bool value)
{
    return settingText(value);
}

std::string ownText(int value)
{
    return settingText(value);
}

std::string ownText(double value)
{
    return shortest(value);
}

// The line of each field, fixed and own lines apart, in the file's order.
struct SettingLines {
    std::vector<std::string> fixed, own;
};

SettingLines linesOf(const BatchSettings& settings)
{
    SettingLines lines;
    forEachSetting(settings, [&lines](const SettingRow& row, const auto& value) {
        const std::string name(row.key);
        if (row.saved == SavedAs::fixedLine)
            // The blank before the line feed is part of the format, on every line but this one.
            lines.fixed.push_back(name + " = " + settingText(value) + (name == "IncludeSubdirectories" ? "\n" : " \n"));
        else
            lines.own.push_back(name + " = " + ownText(value) + "\n");
    });
    return lines;
}

}  // namespace

std::string defaultPreferencesText(const wxString& programDir)
{
#ifdef _WIN32
    const std::string root = "C:\\", watermark = "\\data\\wm.png";
#else
    const std::string root = "/", watermark = "/data/wm.png";
#endif
    return "#Tessaly " TESSALY_VERSION " configuration file\n"
           "WorkingDir = " + root + "\n"
           "WaterImgFile = " + utf8(programDir) + watermark + "\n"
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

std::string savedPreferencesText(const BatchSettings& settings, const std::string& workingDir,
                                 const std::string& language)
{
    std::string text = "#Tessaly " TESSALY_VERSION " configuration file\nWorkingDir = " + workingDir + " \n";
    const SettingLines chosen = linesOf(settings), defaults = linesOf(BatchSettings{});
    for (const std::string& line : chosen.fixed)
        text += line;
    // Settings added later: written only when they differ from their
    // defaults, so that an untouched file stays as it always was.
    for (std::size_t i = 0; i < chosen.own.size(); ++i)
        if (chosen.own[i] != defaults.own[i])
            text += chosen.own[i];
    if (!language.empty())
        text += "Language = " + language + "\n";
    return text;
}

std::string languageIn(const ConfigFile& file)
{
    std::string language;
    file.readValue("Language", language);
    return speaksLanguage(language) ? language : std::string();
}

void readPreferences(const ConfigFile& file, BatchSettings& settings, std::string& workingDir)
{
    std::string folder;
    if (file.readValue("WorkingDir", folder))
        workingDir = folder;
    forEachSetting(settings, [&file](const SettingRow& row, auto& value) {
        if (row.saved == SavedAs::fixedLine)
            file.readValue(row.key, value);
    });
}

std::string everySettingText(const BatchSettings& settings)
{
    std::string text;
    forEachSetting(settings, [&text](const SettingRow& row, const auto& value) {
        text += std::string(row.key) + " = " + ownText(value) + "\n";
    });
    return text;
}


wxString programDirectory()
{
    return wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
}
