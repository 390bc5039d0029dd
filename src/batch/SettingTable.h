#pragma once

#include <string>
#include <vector>

#include "settings/SettingFields.h"

// The settings' table read by every way in (prefs.cfg, presets, the
// command line, the dialog): what each row allows, and its values read
// from text by that alone.

// Every row, in prefs.cfg's order.
const std::vector<SettingRow>& settingRows();
// The row of a key, or of a long option; nullptr for none.
const SettingRow* rowOfKey(const std::string& key);
const SettingRow* rowOfOption(const std::string& option);

// What the row allows, in the user's words: "a number from 0 to 100".
std::string allowedText(const SettingRow& row);

// Reads the text into the field when the row allows it, whole: "800px",
// "0.5x", "yes please" and an unknown name are refused, as is a value out
// of range. False, with why (what the row allows, or what is wrong with
// the text), and the field unchanged otherwise.
bool settingFromText(const SettingRow& row, const std::string& text, bool& field, std::string& why);
bool settingFromText(const SettingRow& row, const std::string& text, int& field, std::string& why);
bool settingFromText(const SettingRow& row, const std::string& text, double& field, std::string& why);
bool settingFromText(const SettingRow& row, const std::string& text, std::string& field, std::string& why);

// The rows whose field the settings hold out of what they allow; each
// with why, as settingFromText says it.
struct SettingFault {
    const SettingRow* row;
    std::string why;
};
std::vector<SettingFault> settingFaults(const BatchSettings& settings);
