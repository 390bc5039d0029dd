#include "batch/PreparedPicture.h"

#include "batch/JpegReplacer.h"
#include "batch/PictureFile.h"
#include "batch/ShapedPicture.h"
#include "jpeg/ExifRewriter.h"

namespace {

// The original's EXIF data made true of the new picture, when the job keeps it.
std::vector<unsigned char> keptExif(const PictureFile& file, const ProcessingJob& job, const wxImage& picture)
{
    const std::vector<unsigned char>& exif = file.jpegHead().exif;
    if (!job.keepExif || exif.empty() || !picture.IsOk())
        return {};
    ExifChanges changes;
    changes.width = static_cast<unsigned>(picture.GetWidth());
    changes.height = static_cast<unsigned>(picture.GetHeight());
    changes.upright = job.autoRotate;
    changes.keepGps = job.keepGps;
    return rewriteExif(exif.data(), exif.size(), changes);
}

}  // namespace

PreparedPicture preparePicture(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    PreparedPicture prepared;
    prepared.stamp = file.stamp();
    if (job.skipProcessed && !job.record.empty() && file.jpegHead().record == job.record) {
        // Done before with these very settings: not again.
        prepared.loaded = true;
        prepared.alreadyProcessed = true;
        return prepared;
    }
    ShapedPicture shaped;
    if (!shapePicture(file, job, shaped, cancel)) {
        prepared.problem = shaped.picture.problem;
        return prepared;
    }
    prepared.loaded = true;
    prepared.resized = shaped.resized;
    prepared.rotated = shaped.rotated;
    wxImage& picture = shaped.picture.image;
    prepared.watermarked = blendJobWatermark(picture, shaped.picture.iccProfile, job,
                                             [&prepared](const wxString& message, const wxString& caption) {
                                                 prepared.placementMessage = message;
                                                 prepared.placementCaption = caption;
                                             });
    prepared.jpeg = jpegBytes(picture, quality, shaped.picture.iccProfile, keptExif(file, job, picture), job.record);
    return prepared;
}
