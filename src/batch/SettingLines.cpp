#include "batch/SettingLines.h"

#include "batch/SettingTable.h"
#include "platform/PathNames.h"
#include "settings/ConfigFile.h"
#include "settings/EscapedValue.h"
#include "settings/PresetFile.h"
#include "text/Translated.h"
#include "text/Utf8Text.h"

namespace {

// A value as a message shows it: well-formed, on one line, cut short.
std::string shownValue(const std::string& value)
{
    constexpr std::size_t longest = 60;
    std::u32string shown;
    for (char32_t c : codePoints(value))
        shown += c < 0x20 || c == 0x7F ? U'\uFFFD' : c;
    if (shown.size() > longest) {
        shown.resize(longest);
        shown.push_back(U'\u2026');
    }
    return utf8Of(shown);
}

}  // namespace

std::vector<std::string> takeSettingLines(const ConfigFile& file, const std::string& shownName, SettingsForm form,
                                          BatchSettings& settings, bool onlyOwnLines)
{
    std::vector<std::string> faults;
    forEachSetting(settings, [&](const SettingRow& row, auto& field) {
        std::string text;
        if ((onlyOwnLines && row.saved == SavedAs::fixedLine) || !file.readValue(row.key, text))
            return;
        if (form == SettingsForm::preset || row.saved == SavedAs::ownLine)
            text = unescapeValue(text);
        std::string why;
        if (settingFromText(row, text, field, why))
            return;
        const int line = file.lineOf(row.key);
        faults.push_back(why == allowedText(row)
                             ? said(_("%s, line %d: %s cannot be %s; it takes %s"), shownName, line, row.key,
                                    shownValue(text), why)
                             : said(_("%s, line %d: %s cannot be %s: %s"), shownName, line, row.key, shownValue(text),
                                    why));
    });
    return faults;
}

bool takePreset(const std::string& path, BatchSettings& settings, std::vector<std::string>& warnings,
                std::string& error)
{
    std::optional<ConfigFile> file = openPreset(path, warnings, error);
    if (!file)
        return false;
    BatchSettings changed = settings;
    const std::vector<std::string> faults = takeSettingLines(*file, shownPath(path), SettingsForm::preset, changed);
    if (!faults.empty()) {
        error = faults.front();
        return false;
    }
    settings = changed;
    return true;
}
