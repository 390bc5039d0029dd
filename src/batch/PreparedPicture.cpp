#include "batch/PreparedPicture.h"

#include "batch/JpegReplacer.h"
#include "batch/PictureFile.h"
#include "batch/ShapedPicture.h"

PreparedPicture preparePicture(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    PreparedPicture prepared;
    prepared.stamp = file.stamp();
    ShapedPicture shaped;
    if (!shapePicture(file, job, shaped, cancel)) {
        prepared.problem = shaped.picture.problem;
        return prepared;
    }
    prepared.loaded = true;
    prepared.resized = shaped.resized;
    prepared.rotated = shaped.rotated;
    wxImage& picture = shaped.picture.image;
    prepared.watermarked =
        blendJobWatermark(picture, job, [&prepared](const wxString& message, const wxString& caption) {
            prepared.placementMessage = message;
            prepared.placementCaption = caption;
        });
    prepared.jpeg = jpegBytes(picture, quality, shaped.picture.iccProfile);
    return prepared;
}
