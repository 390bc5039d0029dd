#include "batch/ShapedPicture.h"

#include <algorithm>
#include <cmath>

#include "batch/Orientation.h"
#include "batch/PictureFile.h"
#include "batch/ProfileConversion.h"
#include "batch/Resample.h"

bool fitIntoBox(LoadedPicture& loaded, const PicturePlan& plan)
{
    if (!plan.resized)
        return false;
    wxImage& picture = loaded.image;
    if (plan.fitWidth <= 0 || plan.fitHeight <= 0)
        picture = wxImage();
    else if (plan.fitWidth != picture.GetWidth() || plan.fitHeight != picture.GetHeight())
        picture = resampleLanczos3(picture, static_cast<int>(plan.fitWidth), static_cast<int>(plan.fitHeight));
    return true;
}

bool shapePicture(PictureFile& file, const PicturePlan& plan, bool toSrgb, ShapedPicture& shaped,
                  const std::atomic<bool>* cancel)
{
    LoadedPicture& loaded = shaped.picture;
    // The box the plan fitted it into is its longer fitted side.
    const long long box = plan.resized ? std::max(plan.fitWidth, plan.fitHeight) : 0;
    if (!file.load(static_cast<int>(box), loaded, cancel))
        return false;
    if (loaded.storedWidth != plan.storedWidth || loaded.storedHeight != plan.storedHeight) {
        loaded.problem = "decodes to " + std::to_string(loaded.storedWidth) + "x" + std::to_string(loaded.storedHeight) +
                         ", not to the size its head declares";
        loaded.image = wxImage();
        return false;
    }
    shaped.resized = fitIntoBox(loaded, plan);
    shaped.rotated = plan.orientation != 0 && orientUpright(loaded.image, plan.orientation);
    // Once converted, the colours are sRGB's and need no profile; one that
    // cannot be used stays with the picture, as without the option.
    if (toSrgb && convertRgbPicture(loaded.image, loaded.iccProfile, true))
        loaded.iccProfile.clear();
    return true;
}

bool blendJobWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile, const ProcessingJob& job,
                       const MessageReporter& report)
{
    if (!job.settings.useWatermark)
        return false;
    if (!job.watermarkImage || !job.watermarkImage->IsOk() || !picture.IsOk())
        return true;
    const int longer = std::max(picture.GetWidth(), picture.GetHeight());
    // The shared watermark is only read: changes go to a copy of its own.
    wxImage own = job.settings.watermarkSize > 0 ? watermarkAtSize(*job.watermarkImage,
                                                          static_cast<int>(std::lround(longer * job.settings.watermarkSize / 100.0)))
                                        : wxImage();
    if (!pictureProfile.empty()) {
        if (!own.IsOk())
            own = job.watermarkImage->Copy();
        convertRgbPicture(own, pictureProfile, false);
    }
    const int margin = static_cast<int>(std::floor(longer * job.settings.watermarkMargin / 100.0));
    ApplyWatermark(picture, own.IsOk() ? own : *job.watermarkImage, job.settings.alpha, job.settings.wmPlacement, report, margin);
    return true;
}
