#include "batch/PreparedPicture.h"

#include "batch/FitInBox.h"
#include "batch/JpegReplacer.h"
#include "batch/Orientation.h"
#include "batch/PictureFile.h"
#include "batch/Resample.h"
#include "batch/PictureLoader.h"
#include "batch/Watermark.h"

PreparedPicture preparePicture(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    PreparedPicture prepared;
    prepared.stamp = file.stamp();
    LoadedPicture loaded;
    if (!file.load(job.resize ? job.maxSize : 0, loaded, cancel)) {
        prepared.problem = loaded.problem;
        return prepared;
    }
    prepared.loaded = true;

    wxImage& picture = loaded.image;
    const int box = job.maxSize;
    if (job.resize && (loaded.storedWidth > box || loaded.storedHeight > box)) {
        prepared.resized = true;
        // The size comes from the stored picture, whatever scale it was decoded at.
        const FittedSize size = fitInBox(loaded.storedWidth, loaded.storedHeight, box, box);
        if (!size.positive())
            picture = wxImage();  // an empty box: nothing can be written
        else if (size.width != picture.GetWidth() || size.height != picture.GetHeight())
            picture = resampleLanczos3(picture, static_cast<int>(size.width), static_cast<int>(size.height));
    }

    if (job.autoRotate) {
        const JpegHead& head = file.jpegHead();
        prepared.rotated = head.exifRead && orientUpright(picture, head.orientation);
    }

    if (job.watermark) {
        prepared.watermarked = true;
        if (job.watermarkImage)
            ApplyWatermark(picture, *job.watermarkImage, job.alpha, job.placement,
                           [&prepared](const wxString& message, const wxString& caption) {
                               prepared.placementMessage = message;
                               prepared.placementCaption = caption;
                           });
    }

    prepared.jpeg = jpegBytes(picture, quality, loaded.iccProfile);
    return prepared;
}
