#pragma once

#include <atomic>

#include "pixel/PictureLoader.h"
#include "batch/PicturePlan.h"
#include "batch/ProcessingJob.h"
#include "pixel/Watermark.h"

class PictureFile;

// A picture loaded, fitted into the job's box, turned upright and, when the
// job asks, converted into sRGB: what the batch writes, before the watermark. The batch and the Preferences preview
// both make it here, so the preview shows what the batch will write.
struct ShapedPicture {
    // The fitted, turned image (empty for an empty box), the stored size
    // and colour profile, or why the picture did not load.
    LoadedPicture picture;
    bool resized = false;
    bool rotated = false;
};

// Shrinks the loaded picture to the plan's size, whatever scale it was
// decoded at; true when the plan shrinks it. An empty size leaves an empty
// image: nothing can be written.
bool fitIntoBox(LoadedPicture& loaded, const PicturePlan& plan);

// Decodes the picture and gives it the plan's size and turn, then converts
// it into sRGB and sharpens it as the settings say. False, with shaped.picture.problem saying why,
// when the picture cannot be loaded, or decodes to another size than its
// head declared (and the plan was made for). A set cancel flag cuts a long
// decode short.
bool shapePicture(PictureFile& file, const PicturePlan& plan, const BatchSettings& settings, ShapedPicture& shaped,
                  const std::atomic<bool>* cancel);

// Blends the job's watermark into the shaped image when the job asks for
// one (see blendWatermark): its picture, or its text mark with the text
// planned for this picture. True when it does.
bool blendJobWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile, const ProcessingJob& job,
                       const std::string& markText, const MessageReporter& report);
