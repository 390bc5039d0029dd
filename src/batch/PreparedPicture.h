#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include <wx/string.h>

#include "platform/FileStamp.h"
#include "batch/PicturePlan.h"
#include "batch/ProcessingJob.h"

class PictureFile;

// One picture made ready for its file, everything but the writing: loaded
// (at a reduced scale where the box allows), fitted, turned, watermarked and
// encoded. Made on any thread; the worker commits it in list order.
struct PreparedPicture {
    FileStamp stamp;  // the file as it was before it was read
    PicturePlan plan;  // what was decided before decoding, and done
    bool loaded = false;
    std::string problem;  // why it did not load
    bool resized = false;
    bool rotated = false;
    bool watermarked = false;
    int watermarkPlace = 0;     // where the mark went, 1..9
    std::string watermarkTone;  // "light" or "dark" where the ground chose it
    // The blend's report of a wrong placement code, for the worker to show.
    wxString placementMessage;
    wxString placementCaption;
    // The new file's content; empty when there is nothing to write (an
    // empty box, a picture too large for WebP).
    std::vector<unsigned char> bytes;
    long quality = 0;        // the quality it was encoded at
    bool overLimit = false;  // over the size limit even at the lowest quality
    // The same picture prepared for each of the job's further outputs.
    std::vector<PreparedPicture> more;
};

// Plans the opened picture for the job and each of its further outputs,
// from the head read once when the file was opened.
void planPrepared(const PictureFile& file, const ProcessingJob& job, PreparedPicture& prepared);

// The one size the planned picture is decoded to for every output that
// needs its pixels: the largest of their fitted sizes, which each shrinks
// further; {0, 0} (its own) when one keeps it. False when none decodes it.
bool sharedDecodeTarget(const ProcessingJob& job, const PreparedPicture& planned, FittedSize& target);

// Prepares the planned picture for the job at the quality, as its plans
// say, and for each of the job's further outputs at its own: only a
// picture a plan processes is decoded, once for them all, and none in a
// dry run. A set cancel flag cuts a long decode short; the result then counts
// as not loaded. The trace log is written by the worker alone, in list
// order.
void preparePlanned(PictureFile& file, const ProcessingJob& job, long quality, const std::atomic<bool>* cancel,
                    PreparedPicture& prepared);

// What make prepares, with whatever it throws made that picture's failure
// (what it had found until then kept), so that an exception never ends the
// batch for one picture.
PreparedPicture preparedOrFailed(const std::function<void(PreparedPicture&)>& make);
