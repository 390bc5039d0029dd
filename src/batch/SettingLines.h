#pragma once

#include <string>
#include <vector>

#include "settings/BatchSettings.h"

class ConfigFile;

// How a file holds its texts: a prefs.cfg writes its fixed lines as they
// are and escapes the lines of its own; a preset escapes every line.
enum class SettingsForm { preferences, preset };

// Sets each field the file names, read by its row alone. Each value its
// row does not allow is a fault, said with the file, the line, the key and
// what is allowed, and leaves its field as it was. With onlyOwnLines, the
// fixed lines (read as the window always read them) are left to the caller.
std::vector<std::string> takeSettingLines(const ConfigFile& file, const std::string& shownName, SettingsForm form,
                                          BatchSettings& settings, bool onlyOwnLines = false);

// A preset as the changes it makes to settings: what it does not name
// stays as it was. False, with error, for a file that cannot be read, is
// no preset or holds a value its row does not allow (then settings are
// left as they were); warnings as readPreset gives them.
bool takePreset(const std::string& path, BatchSettings& settings, std::vector<std::string>& warnings,
                std::string& error);
