#pragma once

#include <string>
#include <vector>

#include "settings/BatchSettings.h"

// What tessaly-batch was asked to do: the batch's settings, from its
// command line over a --prefs file, and what the terminal's run adds.
// The results go below settings.resultsFolder when settings.saveToFolder
// is set (--output).
struct BatchOptions {
    BatchSettings settings;
    std::vector<std::string> folders;
    bool opacityGiven = false;  // on the command line
    bool overwrite = false;
    bool skipExisting = false;
    bool json = false;
    bool dryRun = false;
    bool yes = false;
    bool quiet = false;
    int jobs = 0;
    std::vector<BatchSettings> presets;  // the further --preset's settings, each a batch of its own output
    std::vector<std::string> presetNames;  // every --preset's name, settings' first
    bool outputGiven = false;  // --output, which several presets share by their names
    std::string savePreset;  // --save-preset's name
    std::string filesFrom;  // a list of pictures, "-" for standard input
    bool nulSeparated = false;
};
