#pragma once

#include <string>

// Where the window keeps prefs.cfg and its logs, the same however it was
// started (a menu entry, a folder's "Open with", a double click, a
// console). On Windows: beside the programs when a portable.txt lies
// there (the portable zip), else %APPDATA%\Tessaly. Empty on Linux, where
// the installed tessaly command chooses the folder before the program
// starts and the program started directly keeps the folder it starts in.
std::string settingsFolder();

// The folder the installed window keeps prefs.cfg and its presets in, for
// tessaly-batch to find them from anywhere: on Linux $XDG_CONFIG_HOME/tessaly
// (~/.config/tessaly without it), on Windows settingsFolder().
std::string userSettingsFolder();

// Makes the folder the current one, created first when it is missing;
// false, with why in the system's words, when it cannot.
bool enterFolder(const std::string& folder, std::string& why);
