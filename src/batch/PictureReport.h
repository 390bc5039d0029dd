#pragma once

#include <cstdint>
#include <string>

#include "batch/PicturePlan.h"

// What became of one picture of a batch.
struct PictureReport {
    enum class Outcome { saved, unreadable, notWritten, skipped };

    std::string path;     // the picture read
    int output = 0;       // for which of the job's outputs: 0 its own, k + 1 its more[k]
    PicturePlan plan;     // what was decided for it before decoding; its target is the file written
    Outcome outcome = Outcome::saved;
    std::string reason;   // why, when not saved
    // Not written: what stood in the way, as the writer answered (or, in a
    // dry run, would answer); with exists, whether it is this picture's own
    // earlier result.
    WriteOutcome refusal = WriteOutcome::written;
    bool earlierResult = false;
    bool endsBatch = false;  // unreadable, and the job stops at such a picture
    bool alreadyProcessed = false;  // skipped: it carries this batch's processing record
    bool resized = false;
    bool rotated = false;
    bool watermarked = false;
    int watermarkPlace = 0;     // where the mark went, 1..9
    std::string watermarkTone;  // "light" or "dark" where the ground chose it
    std::uint64_t bytesBefore = 0;
    std::uint64_t bytesAfter = 0;
    long quality = 0;        // the quality it was (or would be) written at
    bool overLimit = false;  // over the size limit even at the lowest quality
};
