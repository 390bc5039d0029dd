#include "batch/PreparedPicture.h"

#include <exception>
#include <new>

#include "batch/JpegReplacer.h"
#include "batch/PictureFile.h"
#include "batch/PicturePlan.h"
#include "batch/ProcessingRecord.h"
#include "batch/ShapedPicture.h"
#include "jpeg/ExifRewriter.h"
#include "jpeg/JpegHead.h"

namespace {

// The original's EXIF data made true of the new picture, when the job keeps
// it. A date taken that only the XMP data holds goes into a block of its
// own when the picture has none.
std::vector<unsigned char> keptExif(const PictureFile& file, const ProcessingJob& job, const wxImage& picture,
                                    const std::vector<unsigned char>& profile)
{
    const JpegHead& head = file.jpegHead();
    if (!job.settings.keepExif || (head.exif.empty() && head.xmpDateTaken.empty()) || !picture.IsOk())
        return {};
    const std::vector<unsigned char> exif = head.exif.empty() ? emptyExif() : head.exif;
    ExifChanges changes;
    changes.width = static_cast<unsigned>(picture.GetWidth());
    changes.height = static_cast<unsigned>(picture.GetHeight());
    changes.upright = job.settings.rotate;
    changes.keepGps = job.settings.keepGps;
    changes.convertedToSrgb = job.settings.convertToSrgb && !head.iccProfile.empty() && profile.empty();
    changes.profileKept = !profile.empty();
    changes.dateTaken = head.xmpDateTaken;
    return rewriteExif(exif.data(), exif.size(), changes);
}

PreparedPicture prepareOrThrow(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    PreparedPicture prepared;
    prepared.stamp = file.stamp();
    // Whether it is skipped or cannot be written is known from its head and
    // the output folder: nothing is decoded for it. A head without a size is
    // left to the decode, which says what is wrong.
    const PicturePlan plan = planPicture(file, job);
    if (plan.verdict == PicturePlan::Verdict::skip || plan.verdict == PicturePlan::Verdict::fail) {
        prepared.loaded = true;
        prepared.alreadyProcessed = plan.alreadyProcessed;
        prepared.alreadyThere = plan.verdict == PicturePlan::Verdict::skip && !plan.alreadyProcessed;
        prepared.failure = plan.problem;
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
    prepared.jpeg = jpegBytes(picture, quality, shaped.picture.iccProfile, keptExif(file, job, picture, shaped.picture.iccProfile),
                              job.outputFolder.empty() ? job.record : resultRecord(job.record, file.path()));
    return prepared;
}

}  // namespace

PreparedPicture preparePicture(PictureFile& file, const ProcessingJob& job, long quality,
                               const std::atomic<bool>* cancel)
{
    // Helpers prepare pictures on threads of their own, where an exception
    // would end the program: whatever goes wrong is this picture's failure.
    try {
        return prepareOrThrow(file, job, quality, cancel);
    } catch (const std::bad_alloc&) {
        PreparedPicture failed;
        failed.stamp = file.stamp();
        failed.problem = "needs more memory than is free";
        return failed;
    } catch (const std::exception& error) {
        PreparedPicture failed;
        failed.stamp = file.stamp();
        failed.problem = std::string("cannot be prepared: ") + error.what();
        return failed;
    }
}
