#pragma once

#include <string>

#include "diag/FixedNumber.h"

#include "prefs/PreferenceValues.h"

class ConfigFile;

// The text of a new prefs.cfg: the default values, with the default
// watermark below the program's directory.
std::string defaultPreferencesText(const wxString& programDir);

// The text savePreferences writes for the values.
std::string savedPreferencesText(const PreferenceValues& values);

// Looks the keys up in order; an absent key leaves its field alone.
void readPreferences(const ConfigFile& file, PreferenceValues& values);


// The directory of the running executable, without a trailing separator.
wxString programDirectory();
