#include "batch/ShapedPicture.h"

#include <algorithm>
#include <cmath>

#include "batch/FitInBox.h"
#include "batch/Orientation.h"
#include "batch/PictureFile.h"
#include "batch/ProfileConversion.h"
#include "batch/Resample.h"

bool fitIntoBox(LoadedPicture& loaded, const ProcessingJob& job)
{
    const int box = job.settings.width;
    if (!job.settings.resize || (loaded.storedWidth <= box && loaded.storedHeight <= box))
        return false;
    wxImage& picture = loaded.image;
    const FittedSize size = fitInBox(loaded.storedWidth, loaded.storedHeight, box, box);
    if (!size.positive())
        picture = wxImage();
    else if (size.width != picture.GetWidth() || size.height != picture.GetHeight())
        picture = resampleLanczos3(picture, static_cast<int>(size.width), static_cast<int>(size.height));
    return true;
}

bool shapePicture(PictureFile& file, const ProcessingJob& job, ShapedPicture& shaped,
                  const std::atomic<bool>* cancel)
{
    LoadedPicture& loaded = shaped.picture;
    if (!file.load(job.settings.resize ? job.settings.width : 0, loaded, cancel))
        return false;
    shaped.resized = fitIntoBox(loaded, job);
    wxImage& picture = loaded.image;
    if (job.settings.rotate) {
        const JpegHead& head = file.jpegHead();
        shaped.rotated = head.exifRead && orientUpright(picture, head.orientation);
    }
    // Once converted, the colours are sRGB's and need no profile; one that
    // cannot be used stays with the picture, as without the option.
    if (job.settings.convertToSrgb && convertRgbPicture(picture, loaded.iccProfile, true))
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
