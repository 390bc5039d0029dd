#pragma once

#include <atomic>
#include <string>
#include <vector>

#include <wx/string.h>

#include "platform/FileStamp.h"
#include "batch/ProcessingJob.h"

class PictureFile;

// One picture made ready for its file, everything but the writing: loaded
// (at a reduced scale where the box allows), fitted, turned, watermarked and
// encoded. Made on any thread; the worker commits it in list order.
struct PreparedPicture {
    FileStamp stamp;  // the file as it was before it was read
    bool loaded = false;
    // It carries the batch's processing record and the job skips such pictures.
    bool alreadyProcessed = false;
    // Its result is already in the output folder and the job leaves those.
    bool alreadyThere = false;
    // Decided before decoding: it would not be written, and why.
    std::string failure;
    std::string problem;  // why it did not load
    bool resized = false;
    bool rotated = false;
    bool watermarked = false;
    // The blend's report of a wrong placement code, for the worker to show.
    wxString placementMessage;
    wxString placementCaption;
    // The new file's content; empty when there is nothing to write (an
    // empty box).
    std::vector<unsigned char> jpeg;
};

// Prepares the opened picture file for the job at the quality; a picture
// the job skips (done before, or its result already there) is not even
// decoded. A set
// cancel flag cuts a long decode short; the result then counts as not
// loaded. The orientation comes from the file's head; the trace log is
// written by the worker alone, in list order.
PreparedPicture preparePicture(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel);
