#include "settings/PresetFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/PathNames.h"
#include "platform/ReplacingFile.h"
#include "settings/ConfigFile.h"
#include "settings/PreferencesFile.h"
#include "settings/SettingFields.h"
#include "text/SafeFileName.h"
#include "text/Translated.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* versionKey = "PresetVersion";
constexpr const char* endLine = "EndPreset";
constexpr const char* extension = ".cfg";

std::string utf8Of(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool knownKey(const std::string& key)
{
    bool known = key == versionKey;
    BatchSettings settings;
    forEachSetting(settings, [&](const SettingRow& row, const auto&) { known = known || key == row.key; });
    return known;
}

}  // namespace

std::string presetsFolderIn(const std::string& settingsFolder)
{
    return settingsFolder.empty() ? std::string("presets") : settingsFolder + "/presets";
}

bool presetNameFits(const std::string& name)
{
    return !name.empty() && name.size() <= 100 && safeName(name, "") == name && name[0] != '.';
}

std::string presetPath(const std::string& folder, const std::string& name)
{
    return joinPath(folder, name + extension);
}

std::vector<std::string> presetNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(fs::u8path(folder), error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = utf8Of(entry->path().filename());
        const std::size_t size = std::strlen(extension);
        // A link that loops or leads nowhere is no preset, and ends no listing.
        std::error_code unreadable;
        const std::string stem = name.substr(0, name.size() > size ? name.size() - size : 0);
        if (name.size() > size && name.compare(name.size() - size, size, extension) == 0 &&
            entry->is_regular_file(unreadable) && presetNameFits(stem))
            names.push_back(stem);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string presetText(const BatchSettings& settings)
{
    return "#Tessaly preset\n" + std::string(versionKey) + " = " + std::to_string(presetVersion) + "\n" +
           everySettingText(settings) + endLine + "\n";
}

std::optional<ConfigFile> openPreset(const std::string& path, std::vector<std::string>& warnings,
                                     std::string& error)
{
    // Named in messages as the system writes paths.
    const std::string shown = shownPath(path);
    try {
        ConfigFile file(path, "=", "#", endLine);
        int version = 0;
        if (!file.readValue(versionKey, version) || version < 1) {
            error = said(_("%s is no preset: it has no %s line"), shown, versionKey);
            return std::nullopt;
        }
        if (version > presetVersion)
            warnings.push_back(said(_("%s: %s = %d is a newer preset than this program reads (%d); what it knows is "
                                      "taken"),
                                    shown, versionKey, version, presetVersion));
        for (const std::string& key : file.keys())
            if (!knownKey(key))
                warnings.push_back(said(_("%s: the key %s is unknown and left out"), shown, key));
        if (!file.sawSentry())
            warnings.push_back(said(_("%s: the preset ends before its %s line, so it may be cut short; what it holds "
                                      "is taken"),
                                    shown, endLine));
        return file;
    } catch (const ConfigFile::file_not_found& failed) {
        error = failed.why.empty() ? said(_("cannot read the preset %s"), shown)
                                   : said(_("cannot read the preset %s: %s"), shown, failed.why);
        return std::nullopt;
    }
}

bool writePreset(const std::string& folder, const std::string& name, const BatchSettings& settings,
                 std::string& error)
{
    std::error_code made;
    fs::create_directories(fs::u8path(folder), made);
    ReplacingFile file(presetPath(folder, name));
    if (made || !file.open() || !file.write(presetText(settings)) || !file.commit(false)) {
        error = said(_("cannot write the preset %s: %s"), presetPath(folder, name),
                     made ? made.message() : std::string(std::strerror(file.error())));
        return false;
    }
    return true;
}

bool deletePreset(const std::string& folder, const std::string& name, std::string& error)
{
    std::error_code failed;
    if (fs::remove(fs::u8path(presetPath(folder, name)), failed))
        return true;
    error = failed ? said(_("cannot remove the preset %s: %s"), presetPath(folder, name), failed.message())
                   : said(_("cannot remove the preset %s"), presetPath(folder, name));
    return false;
}
