#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/string.h>

#include "batch/ResolvedSettings.h"
#include "settings/BatchSettings.h"

class ResultNames;
class TextMark;

// One batch: what the user chose, and what this run adds to it. Copied
// when the batch starts; the window's controls behind it stay disabled
// while it runs.
struct ProcessingJob {
    BatchSettings settings;
    ResolvedSettings resolved;        // settings read once: the worker resolves them as the batch starts
    wxString directory;               // folder to process, as the folder tree gives it
    std::optional<std::vector<std::string>> pictures;  // given: these paths below directory, not its listing
    const wxImage* watermarkImage = nullptr;  // settings.waterImgFile loaded by the owner; only read
    const TextMark* textMark = nullptr;       // with settings.textWatermark: the text mark the owner loaded
    const wxImage* brightWatermarkImage = nullptr;  // settings.brightWatermark loaded by the owner; only read
    wxString caption;                 // base text of the progress title
    int threads = 0;                  // pictures prepared at once: 0 one per core, 1 one after another
    wxString outputFolder;            // empty: replace each picture; else write below it, by relative path
    bool overwrite = false;           // with an output folder: replace files already there
    bool skipExisting = false;        // with an output folder: leave results already there, as skipped
    bool askAboutExisting = false;    // with an output folder: ask the owner once what to do with them
    bool traceLog = true;             // write ./MetadataHandler.log for each picture turned
    bool dryRun = false;              // plan and report each picture, unasked; decode and write nothing
    std::string record;               // the batch's processing record; the worker sets it
    const ResultNames* resultNames = nullptr;  // the results' names; the worker sets them
    // Where the batch's pictures are (nameKey of decidedPath): no result is
    // ever written there. The worker sets them.
    const std::set<std::string>* originals = nullptr;
    // Further outputs of the same pictures (one for each further preset),
    // each with its settings, output folder and watermarks: every picture
    // is decoded once for them all. Their own folder, list and run are this job's.
    std::vector<ProcessingJob> more;
};
