#include "batch/PreparedPicture.h"

#include <exception>
#include <new>

#include "pixel/ResultEncoder.h"
#include "pixel/PictureFile.h"
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

// How the job's results are written, at the quality asked.
ResultStyle resultStyle(const BatchSettings& settings, long quality)
{
    ResultStyle style;
    style.format = settings.outputFormat == "webp" ? ResultFormat::webp : ResultFormat::jpeg;
    style.quality = quality;
    style.layout.progressive = settings.progressive;
    style.layout.fullChroma = settings.fullChroma;
    style.maxBytes = 1000LL * settings.maxFileSize;
    return style;
}

}  // namespace

void preparePicture(PictureFile& file, const ProcessingJob& job, long quality, const std::atomic<bool>* cancel,
                    PreparedPicture& prepared)
{
    prepared.stamp = file.stamp();
    prepared.plan = planPicture(file, job);
    const PicturePlan& plan = prepared.plan;
    if (plan.verdict == PicturePlan::Verdict::unreadable) {
        prepared.problem = plan.reason;
        return;
    }
    prepared.loaded = true;
    // A dry run decodes only a picture whose pixels choose the mark's place or tone.
    if (plan.verdict != PicturePlan::Verdict::process || (job.dryRun && !markChosenByGround(job)))
        return;
    ShapedPicture shaped;
    if (!shapePicture(file, plan, job.settings, shaped, cancel)) {
        prepared.loaded = false;
        prepared.problem = shaped.picture.problem;
        return;
    }
    prepared.resized = shaped.resized;
    prepared.rotated = shaped.rotated;
    wxImage& picture = shaped.picture.image;
    const BlendedMark mark = blendJobWatermark(picture, shaped.picture.iccProfile, job, plan.watermarkText,
                                               [&prepared](const wxString& message, const wxString& caption) {
                                                   prepared.placementMessage = message;
                                                   prepared.placementCaption = caption;
                                               });
    prepared.watermarked = mark.blended;
    prepared.watermarkPlace = mark.place;
    prepared.watermarkTone = mark.tone;
    if (job.dryRun)
        return;
    const EncodedResult encoded =
        encodeResult(picture, resultStyle(job.settings, quality), shaped.picture.iccProfile,
                     keptExif(file, job, picture, shaped.picture.iccProfile),
                     job.outputFolder.empty() ? job.record : resultRecord(job.record, file.path()));
    prepared.bytes = encoded.bytes;
    prepared.quality = encoded.quality;
    prepared.overLimit = encoded.overLimit;
    if (encoded.bytes.empty())
        prepared.problem = encoded.problem;
}

PreparedPicture preparedOrFailed(const std::function<void(PreparedPicture&)>& make)
{
    PreparedPicture prepared;
    try {
        make(prepared);
        return prepared;
    } catch (const std::bad_alloc&) {
        prepared.problem = "needs more memory than is free";
    } catch (const std::exception& error) {
        prepared.problem = std::string("cannot be prepared: ") + error.what();
    }
    prepared.loaded = false;
    prepared.bytes.clear();
    return prepared;
}
