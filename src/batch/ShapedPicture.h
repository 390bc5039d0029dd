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
    long long keptX = -1, keptY = -1;  // a cover frame: where the part kept starts in the fitted picture
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

// Decodes the picture shrunk to target, for the plan (made for its head's
// size): false, with loaded.problem saying why, as shapePicture.
bool loadPlanned(PictureFile& file, const PicturePlan& plan, const FittedSize& target, LoadedPicture& loaded,
                 const std::atomic<bool>* cancel);

// What shapePicture does once the picture is loaded: shaped.picture holds
// it, at the plan's size or larger.
void shapeLoaded(const PicturePlan& plan, const BatchSettings& settings, ShapedPicture& shaped);

// What the blend of a job's watermark did: whether it marked the picture,
// the place it took (1..9), and where the ground chose it, the tone:
// "light" or "dark" letters, or the picture mark ("light") or its version
// for bright ground ("dark").
struct BlendedMark {
    bool blended = false;
    int place = 0;
    std::string tone;
};

// Blends the job's watermark into the shaped image when the job asks for
// one (see blendWatermark): its picture, or its text mark with the text
// planned for this picture, at the settings' place or the calmest of the
// places allowed, in the tone that stands out from the ground when asked.
// Whether the job's watermark takes its place or tone from the picture's
// pixels: a dry run then decodes the picture to say which.
bool markChosenByGround(const ProcessingJob& job);

BlendedMark blendJobWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile,
                              const ProcessingJob& job, const std::string& markText, const MessageReporter& report);
