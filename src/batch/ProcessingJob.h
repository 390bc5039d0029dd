#pragma once

#include <string>

#include <wx/image.h>
#include <wx/string.h>

// The settings of one batch, copied from the main dialog when the batch
// starts. The controls behind them stay disabled while it runs.
struct ProcessingJob {
    wxString directory;               // folder to process, as the folder tree gives it
    bool includeSubfolders = false;   // the whole tree below the folder
    bool resize = false;              // shrink into the maxSize x maxSize box
    int maxSize = 0;                  // box side in pixels
    bool autoRotate = false;          // turn upright by the EXIF orientation
    bool watermark = false;           // blend the watermark in
    const wxImage* watermarkImage = nullptr;  // owned by the main dialog; only read
    double alpha = 0.2;               // opacity for a watermark without alpha channel
    int placement = 5;                // 1..9, see wmPosition
    wxString qualityText;             // JPEG quality as the dialog shows it
    wxString caption;                 // base text of the progress title
    int threads = 0;                  // pictures prepared at once: 0 one per core, 1 one after another
    // The terminal front end's choices; the window keeps these defaults.
    bool stopAtUnreadable = true;     // end the batch at a picture that cannot be loaded
    wxString outputFolder;            // empty: replace each picture; else write below it, by relative path
    bool overwrite = false;           // with an output folder: replace files already there
    bool skipExisting = false;        // with an output folder: leave results already there, as skipped
    bool askAboutExisting = false;    // with an output folder: ask the owner once what to do with them
    bool traceLog = true;             // write ./MetadataHandler.log for each picture turned
    // What photographers may ask for beyond the plain rewrite; all off by default.
    bool keepExif = false;            // carry the EXIF data over (no thumbnail, no maker note)
    bool keepGps = false;             // with keepExif: the GPS position too
    double watermarkSize = 0;         // the watermark's longer side in % of the picture's; 0: its own size
    double watermarkMargin = 0;       // its distance from the edges in % of the picture's longer side
    bool convertToSrgb = false;       // pictures with a colour profile converted into sRGB
    bool skipProcessed = false;       // leave pictures that carry this batch's processing record
    std::string record;               // that record; the worker sets it for the batch
};
