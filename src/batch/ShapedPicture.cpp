#include "batch/ShapedPicture.h"

#include <algorithm>
#include <cmath>

#include "batch/TextMark.h"
#include "pixel/Sharpening.h"

#include "pixel/Orientation.h"
#include "pixel/PictureFile.h"
#include "pixel/ProfileConversion.h"
#include "pixel/Resample.h"

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

bool shapePicture(PictureFile& file, const PicturePlan& plan, const BatchSettings& settings, ShapedPicture& shaped,
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
    if (settings.convertToSrgb && convertRgbPicture(loaded.image, loaded.iccProfile, true))
        loaded.iccProfile.clear();
    Sharpening sharpening = Sharpening::off;
    if (sharpeningFromName(settings.sharpening, sharpening))
        sharpen(loaded.image, sharpening);
    return true;
}

bool blendJobWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile, const ProcessingJob& job,
                       const std::string& markText, const MessageReporter& report)
{
    if (!job.settings.useWatermark)
        return false;
    const BatchSettings& settings = job.settings;
    if (settings.textWatermark) {
        if (!job.textMark || !picture.IsOk())
            return false;
        const int longer = std::max(picture.GetWidth(), picture.GetHeight());
        const int margin = static_cast<int>(std::floor(longer * settings.watermarkMargin / 100.0));
        const std::shared_ptr<const wxImage> mark =
            job.textMark->image(markText, picture.GetWidth(), picture.GetHeight(), margin);
        // Sized already: drawn at the letter height, fitted into the picture.
        blendWatermark(picture, pictureProfile, {mark.get(), settings.alpha, settings.wmPlacement, 0,
                                                 settings.watermarkMargin},
                       report);
        return true;
    }
    blendWatermark(picture, pictureProfile,
                   {job.watermarkImage, settings.alpha, settings.wmPlacement, settings.watermarkSize,
                    settings.watermarkMargin},
                   report);
    return true;
}
