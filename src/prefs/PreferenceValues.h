#pragma once

#include <wx/string.h>

// The program's preferences, as kept in prefs.cfg. Public fields, read and
// written directly by the main dialog; numbers and flags start at their
// defaults, the texts empty.
struct PreferenceValues {
    double alpha = 0.2;              // watermark opacity when it has no alpha channel
    double savedAlpha = 0.2;         // last confirmed opacity, for Cancel
    bool useWatermark = true;
    bool resize = true;
    bool rotate = true;
    bool includeSubdirectories = false;
    int width = 800;                 // maximum width in pixels
    int height = 800;                // maximum height in pixels
    int quality = 82;                // JPEG quality in percent
    wxString waterImgFile;           // watermark image path
    wxString savedWaterImgFile;      // last confirmed watermark path, for Cancel
    wxString workingDir;             // folder chosen in the main dialog
    wxString prefsPath = wxS("./prefs.cfg");
    wxString startupDir;             // working directory at start-up
    int wmPlacement = 5;             // watermark position 1..9
    bool skipUnreadable = false;     // go on past a picture that cannot be read
    bool saveToFolder = false;       // write results below resultsFolder, keeping the originals
    wxString resultsFolder;
    bool keepExif = false;           // carry date, camera and copyright over
    bool keepGps = false;            // with keepExif: the GPS position too
    double watermarkSize = 0;        // % of the picture's longer side; 0: the watermark's own size
    double watermarkMargin = 0;      // % of the picture's longer side
    bool convertToSrgb = false;
    bool skipProcessed = false;      // leave pictures already processed with the same settings
};
