#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/ConfigFile.h"

#include "settings/BatchSettings.h"

// A preset: every setting under a name, a file presets/NAME.cfg beside
// prefs.cfg in prefs.cfg's "Key = value" form, so that it can be copied to
// another machine or passed on. Its first line gives the version of the
// form, its last one ends it: a preset cut short is told, never taken
// silently.
constexpr int presetVersion = 1;

// The preset folder of a settings folder ("" for the current one).
std::string presetsFolderIn(const std::string& settingsFolder);

// Whether a name can name a preset's file on every system as it is.
bool presetNameFits(const std::string& name);

// The file of the named preset in the folder.
std::string presetPath(const std::string& folder, const std::string& name);

// The names of the presets in the folder, sorted; none when it is missing.
std::vector<std::string> presetNames(const std::string& folder);

// The preset's text for the settings.
std::string presetText(const BatchSettings& settings);

// Reads a preset's lines, for the settings' table to take. None, with
// error, for a file that cannot be read or is no preset; warnings name
// each key it does not know, a newer version and an end that is missing,
// each with the file.
std::optional<ConfigFile> openPreset(const std::string& path, std::vector<std::string>& warnings,
                                     std::string& error);

// Writes the preset whole or not at all, its folder made when missing.
bool writePreset(const std::string& folder, const std::string& name, const BatchSettings& settings,
                 std::string& error);

// Removes the named preset's file.
bool deletePreset(const std::string& folder, const std::string& name, std::string& error);
