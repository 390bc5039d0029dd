#include "batch/ShapedPicture.h"

#include <algorithm>
#include <cmath>

#include "batch/TextMark.h"
#include "pixel/FrameCrop.h"
#include "pixel/MarkPlacement.h"
#include "pixel/Sharpening.h"

#include "pixel/Orientation.h"
#include "pixel/PictureFile.h"
#include "pixel/ProfileConversion.h"
#include "pixel/Resample.h"
#include "text/Translated.h"

namespace {

// Keeps the part of the fitted, upright picture that the cover frame holds:
// where the plan put it, or where its detail is.
void cropToFrame(const PicturePlan& plan, ShapedPicture& shaped)
{
    wxImage& image = shaped.picture.image;
    const bool alongWidth = plan.keptWidth < image.GetWidth();
    const long long kept = alongWidth ? plan.keptWidth : plan.keptHeight;
    const long long start = plan.focusOnDetail ? detailedStart(image, alongWidth, kept) : 0;
    shaped.keptX = !plan.focusOnDetail ? plan.keptX : alongWidth ? start : 0;
    shaped.keptY = !plan.focusOnDetail ? plan.keptY : alongWidth ? 0 : start;
    image = croppedPicture(image, shaped.keptX, shaped.keptY, plan.keptWidth, plan.keptHeight);
}

}  // namespace

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
    if (!loadPlanned(file, plan, decodeTarget(plan), shaped.picture, cancel))
        return false;
    shapeLoaded(plan, settings, shaped);
    return true;
}

bool loadPlanned(PictureFile& file, const PicturePlan& plan, const FittedSize& target, LoadedPicture& loaded,
                 const std::atomic<bool>* cancel)
{
    if (!file.load(target, loaded, cancel))
        return false;
    if (loaded.storedWidth != plan.storedWidth || loaded.storedHeight != plan.storedHeight) {
        loaded.problem = said(_("decodes to %dx%d, not to the size its head declares"),
                              static_cast<int>(loaded.storedWidth), static_cast<int>(loaded.storedHeight));
        loaded.image = wxImage();
        return false;
    }
    return true;
}

void shapeLoaded(const PicturePlan& plan, const BatchSettings& settings, ShapedPicture& shaped)
{
    LoadedPicture& loaded = shaped.picture;
    shaped.resized = fitIntoBox(loaded, plan);
    shaped.rotated = plan.orientation != 0 && orientUpright(loaded.image, plan.orientation);
    if (plan.frame == FitMode::cover && loaded.image.IsOk())
        cropToFrame(plan, shaped);
    // Once converted, the colours are sRGB's and need no profile; one that
    // cannot be used stays with the picture, as without the option.
    if (settings.convertToSrgb && convertRgbPicture(loaded.image, loaded.iccProfile, true))
        loaded.iccProfile.clear();
    sharpen(loaded.image, plan.sharpening);
    // The border last: neither converted nor sharpened, it is the colour asked for.
    if (plan.frame == FitMode::contain && loaded.image.IsOk())
        loaded.image = framedPicture(loaded.image, plan.width, plan.height, plan.background);
}

bool markChosenByGround(const ProcessingJob& job)
{
    const BatchSettings& s = job.settings;
    return s.useWatermark &&
           (s.autoPlacement || (s.textWatermark ? job.resolved.toneByGround : job.brightWatermarkImage != nullptr));
}

BlendedMark blendJobWatermark(wxImage& picture, const std::vector<unsigned char>& pictureProfile,
                              const ProcessingJob& job, const std::string& markText, const MessageReporter& report)
{
    BlendedMark done;
    const BatchSettings& settings = job.settings;
    if (!settings.useWatermark)
        return done;
    const std::vector<int>& places = job.resolved.autoPlaces;
    const bool automatic = settings.autoPlacement && !places.empty();
    done.place = settings.wmPlacement;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    // Held to what a mark can be, whatever a hand-edited settings file
    // says: a mark 1000 times the picture would need memory no machine has.
    const double sizePercent = std::clamp(settings.watermarkSize, 0.0, 100.0);
    const double marginPercent = std::clamp(settings.watermarkMargin, 0.0, 49.0);
    const int margin = static_cast<int>(std::floor(std::max(w, h) * marginPercent / 100.0));
    // The place, then the tone, chosen on the picture as it is before the
    // blend; nothing is measured that the settings do not ask for.
    const auto choose = [&](int markWidth, int markHeight, bool toneWanted) {
        if (automatic)
            done.place = calmestPlace(picture, markWidth, markHeight, margin, places);
        const int at = done.place >= 1 && done.place <= 9 ? done.place : 5;
        if (toneWanted)
            done.tone = brightGround(picture, markWidth, markHeight, margin, at) ? "dark" : "light";
    };
    if (settings.textWatermark) {
        if (!job.textMark || !picture.IsOk())
            return done;
        std::shared_ptr<const wxImage> mark = job.textMark->image(markText, w, h, margin);
        if (mark && mark->IsOk()) {
            choose(mark->GetWidth(), mark->GetHeight(), job.textMark->toneByGround());
            if (!done.tone.empty())
                mark = job.textMark->image(markText, w, h, margin, done.tone.c_str());
        }
        // Sized already: drawn at the letter height, fitted into the picture.
        done.blended = blendWatermark(picture, pictureProfile,
                                      {mark.get(), settings.alpha, done.place, 0, marginPercent}, report);
        return done;
    }
    const wxImage* image = job.watermarkImage;
    const bool twoTones = job.brightWatermarkImage && job.brightWatermarkImage->IsOk();
    if (image && image->IsOk() && picture.IsOk() && (automatic || twoTones)) {
        const wxSize size = markSizeIn(*image, w, h, sizePercent);
        choose(size.x, size.y, twoTones);
        if (done.tone == "dark")
            image = job.brightWatermarkImage;
    }
    done.blended = blendWatermark(
        picture, pictureProfile, {image, settings.alpha, done.place, sizePercent, marginPercent}, report);
    return done;
}
