#pragma once

#include <string>
#include <vector>

// What tessaly-batch was asked to do, from its command line and, with
// --prefs, a prefs.cfg written by the window.
struct BatchOptions {
    std::vector<std::string> folders;
    bool resize = false;
    int size = 0;
    bool rotate = true;
    bool watermark = false;
    std::string watermarkFile;
    double opacity = 0.2;
    bool opacityGiven = false;  // on the command line
    int position = 5;
    int quality = 82;
    bool recursive = false;
    std::string output;
    bool overwrite = false;
    bool skipExisting = false;
    bool json = false;
    bool dryRun = false;
    bool yes = false;
    bool quiet = false;
    int jobs = 0;
    bool keepExif = false;
    bool keepGps = false;
    double watermarkSize = 0;    // percent of the picture's longer side; 0: its own size
    double watermarkMargin = 0;  // percent of the picture's longer side
    bool srgb = false;
    bool skipProcessed = false;
};
