#pragma once

#include <string>

#include <wx/string.h>

#include "settings/BatchSettings.h"

class ConfigFile;

// The text of a new prefs.cfg: the default values, with the default
// watermark below the program's directory.
std::string defaultPreferencesText(const wxString& programDir);

// The text savePreferences writes for the settings, the folder chosen in
// the window and the language chosen in the Preferences: last, and only
// when one is chosen, so that an untouched file stays as it always was.
std::string savedPreferencesText(const BatchSettings& settings, const std::string& workingDir,
                                 const std::string& language = std::string());

// The window's language as the file names it ("de"); empty for the
// system's, or for one the program does not speak.
std::string languageIn(const ConfigFile& file);

// Looks the folder and the fixed lines' keys up in order, as the window
// always read them: "800px" is 800, "off" is yes, nothing is out of range.
// An absent key leaves its field alone; the lines of their own are the
// settings' table's to read.
void readPreferences(const ConfigFile& file, BatchSettings& settings, std::string& workingDir);

// Every field as a line of its own, "Key = value", texts escaped, as a
// preset holds them.
std::string everySettingText(const BatchSettings& settings);

// The directory of the running executable, without a trailing separator.
wxString programDirectory();
