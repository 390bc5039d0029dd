#pragma once

#include <atomic>

#include "batch/PictureLoader.h"
#include "batch/ProcessingJob.h"
#include "batch/Watermark.h"

class PictureFile;

// A picture loaded, fitted into the job's box and turned upright: what the
// batch writes, before the watermark. The batch and the Preferences preview
// both make it here, so the preview shows what the batch will write.
struct ShapedPicture {
    // The fitted, turned image (empty for an empty box), the stored size
    // and colour profile, or why the picture did not load.
    LoadedPicture picture;
    bool resized = false;
    bool rotated = false;
};

// False, with shaped.picture.problem saying why, when the picture cannot be
// loaded. A set cancel flag cuts a long decode short.
bool shapePicture(PictureFile& file, const ProcessingJob& job, ShapedPicture& shaped,
                  const std::atomic<bool>* cancel);

// Blends the job's watermark into the shaped image when the job asks for
// one; true when it does. A wrong placement code goes to the reporter.
bool blendJobWatermark(wxImage& picture, const ProcessingJob& job, const MessageReporter& report);
