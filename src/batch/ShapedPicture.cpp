#include "batch/ShapedPicture.h"

#include "batch/FitInBox.h"
#include "batch/Orientation.h"
#include "batch/PictureFile.h"
#include "batch/Resample.h"

bool shapePicture(PictureFile& file, const ProcessingJob& job, ShapedPicture& shaped,
                  const std::atomic<bool>* cancel)
{
    LoadedPicture& loaded = shaped.picture;
    if (!file.load(job.resize ? job.maxSize : 0, loaded, cancel))
        return false;

    wxImage& picture = loaded.image;
    const int box = job.maxSize;
    if (job.resize && (loaded.storedWidth > box || loaded.storedHeight > box)) {
        shaped.resized = true;
        // The size comes from the stored picture, whatever scale it was decoded at.
        const FittedSize size = fitInBox(loaded.storedWidth, loaded.storedHeight, box, box);
        if (!size.positive())
            picture = wxImage();  // an empty box: nothing can be written
        else if (size.width != picture.GetWidth() || size.height != picture.GetHeight())
            picture = resampleLanczos3(picture, static_cast<int>(size.width), static_cast<int>(size.height));
    }

    if (job.autoRotate) {
        const JpegHead& head = file.jpegHead();
        shaped.rotated = head.exifRead && orientUpright(picture, head.orientation);
    }
    return true;
}

bool blendJobWatermark(wxImage& picture, const ProcessingJob& job, const MessageReporter& report)
{
    if (!job.watermark)
        return false;
    if (job.watermarkImage)
        ApplyWatermark(picture, *job.watermarkImage, job.alpha, job.placement, report);
    return true;
}
