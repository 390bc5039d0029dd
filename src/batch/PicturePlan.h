#pragma once

#include <string>

#include "batch/ProcessingJob.h"
#include "pixel/ResultSize.h"
#include "platform/ResultWriter.h"

class PictureFile;

// What becomes of one picture of a batch, decided from its head and from
// where its result would go, before any pixel is decoded. The worker and
// the dry run take the same plan, so that the dry run says what the real
// run does.
struct PicturePlan {
    enum class Verdict {
        process,     // decoded, shaped and written
        skip,        // left as it is (reason says why)
        fail,        // would not be written (reason, and problem as a failure says it)
        unreadable,  // its head gives no size: the decode would fail too
    };
    Verdict verdict = Verdict::process;
    std::string reason;
    std::string problem;
    WriteOutcome refusal = WriteOutcome::written;  // a fail verdict: what the write would answer
    bool alreadyProcessed = false;  // skipped for carrying the batch's record
    std::string target;             // the file the result goes to
    std::string resultName;         // its path below the output folder
    long long storedWidth = 0, storedHeight = 0;
    long long fitWidth = 0, fitHeight = 0;  // shrunk to this, before the turn
    long long width = 0, height = 0;        // once written: fitted, then turned
    bool resized = false;
    int orientation = 0;  // the EXIF orientation that turns it, 0 for none
    Sharpening sharpening = Sharpening::off;  // after the shrink
    // A cover or contain frame, once turned: what a cover keeps of the
    // fitted picture (where, once chosen: on its pixels for detail, at the
    // centre otherwise), or the colour a contain frame puts around it.
    FitMode frame = FitMode::box;  // box: no frame
    long long keptX = -1, keptY = -1;  // -1 until chosen
    long long keptWidth = 0, keptHeight = 0;
    bool focusOnDetail = false;
    unsigned char background[3] = {255, 255, 255};
    std::string watermarkText;  // a text mark's text for this picture, its tokens filled in
};

// The sizes and turn of a picture stored at width x height whose EXIF
// gives that orientation (0 for none): fitted by the settings' rule as it
// stands upright, turned when they turn pictures, then cropped to a cover
// frame or set into a contain frame.
void planShape(PicturePlan& plan, long long width, long long height, int orientation,
               const ResolvedSettings& settings);

// What a cover frame keeps, in the original picture's pixels as it stands
// upright; false without a cover frame, or before its place is chosen.
struct CropWindow {
    long long x = 0, y = 0, width = 0, height = 0;
};
bool originalCrop(const PicturePlan& plan, CropWindow& crop);

// The size the decoder shrinks the picture to: {0, 0} when the plan keeps
// its size.
FittedSize decodeTarget(const PicturePlan& plan);

// A result's path from its picture's, both relative to their folders: a
// WebP result's name ends in .webp instead of the picture's extension.
std::string resultName(const std::string& relative, ResultFormat format);

// Whether results are written beside their pictures (a WebP result in
// place): the folder processed is then the output folder.
bool writesBeside(const ProcessingJob& job);

// The plan for the picture file in the job: the job's folder, output
// folder and record, and its box, turn, skips and overwrite.
PicturePlan planPicture(const PictureFile& file, const ProcessingJob& job);
