#include "batch/PreparedPicture.h"

#include <exception>
#include <new>

#include "batch/PicturePlan.h"
#include "batch/ProcessingRecord.h"
#include "batch/ShapedPicture.h"
#include "jpeg/ExifRewriter.h"
#include "jpeg/JpegHead.h"
#include "pixel/PictureFile.h"
#include "pixel/ResultEncoder.h"
#include "text/Translated.h"

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
ResultStyle resultStyle(const ProcessingJob& job, long quality)
{
    const BatchSettings& settings = job.settings;
    ResultStyle style;
    style.format = job.resolved.format;
    style.quality = quality;
    style.layout.progressive = settings.progressive;
    style.layout.fullChroma = settings.fullChroma;
    style.maxBytes = 1000LL * settings.maxFileSize;
    return style;
}

}  // namespace

namespace {

// Blends and encodes the shaped picture for the job, as its plan says.
void finishPicture(const PictureFile& file, const ProcessingJob& job, long quality, ShapedPicture& shaped,
                   PreparedPicture& prepared)
{
    const PicturePlan& plan = prepared.plan;
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
    // A mark asked for but not drawn (an empty {artist}, a text too long for
    // the picture) is no processing with these settings: the record says
    // so, and a later run with --skip-processed still takes the picture; a
    // result still tells whose it is.
    const bool done = !job.settings.useWatermark || mark.blended;
    const std::string record = job.record + (done ? "" : " unmarked");
    const std::string written = job.outputFolder.empty() ? record : resultRecord(record, file.path());
    const EncodedResult encoded = encodeResult(picture, resultStyle(job, quality), shaped.picture.iccProfile,
                                               keptExif(file, job, picture, shaped.picture.iccProfile), written);
    prepared.bytes = encoded.bytes;
    prepared.quality = encoded.quality;
    prepared.overLimit = encoded.overLimit;
    if (encoded.bytes.empty())
        prepared.problem = encoded.problem;
}

// Whether the plan needs the picture's pixels.
bool decodes(const ProcessingJob& job, const PicturePlan& plan)
{
    // A dry run decodes only a picture whose pixels choose the mark's place
    // or tone, or what a cover frame keeps.
    return plan.verdict == PicturePlan::Verdict::process &&
           (!job.dryRun || markChosenByGround(job) || (plan.frame == FitMode::cover && plan.focusOnDetail));
}

// The job and each of its further outputs beside what was prepared for it.
void pairOutputs(const ProcessingJob& job, const PreparedPicture& prepared, std::vector<const ProcessingJob*>& jobs,
                 std::vector<const PreparedPicture*>& outputs)
{
    jobs = {&job};
    outputs = {&prepared};
    for (std::size_t i = 0; i < job.more.size() && i < prepared.more.size(); ++i) {
        jobs.push_back(&job.more[i]);
        outputs.push_back(&prepared.more[i]);
    }
}

}  // namespace

bool sharedDecodeTarget(const ProcessingJob& job, const PreparedPicture& planned, FittedSize& target)
{
    std::vector<const ProcessingJob*> jobs;
    std::vector<const PreparedPicture*> outputs;
    pairOutputs(job, planned, jobs, outputs);
    bool any = false;
    target = {0, 0};
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const PicturePlan& plan = outputs[i]->plan;
        if (!decodes(*jobs[i], plan))
            continue;
        if (!plan.resized) {
            target = {0, 0};
            return true;
        }
        const FittedSize wanted = decodeTarget(plan);
        if (!any || wanted.width * wanted.height > target.width * target.height)
            target = wanted;
        any = true;
    }
    return any;
}

void planPrepared(const PictureFile& file, const ProcessingJob& job, PreparedPicture& prepared)
{
    prepared.more.resize(job.more.size());
    prepared.stamp = file.stamp();
    prepared.plan = planPicture(file, job);
    for (std::size_t i = 0; i < job.more.size(); ++i) {
        prepared.more[i].stamp = file.stamp();
        prepared.more[i].plan = planPicture(file, job.more[i]);
    }
}

void preparePlanned(PictureFile& file, const ProcessingJob& job, long quality, const std::atomic<bool>* cancel,
                    PreparedPicture& prepared)
{
    std::vector<const ProcessingJob*> jobs{&job};
    std::vector<PreparedPicture*> outputs{&prepared};
    for (std::size_t i = 0; i < job.more.size(); ++i) {
        jobs.push_back(&job.more[i]);
        outputs.push_back(&prepared.more[i]);
    }
    FittedSize target{0, 0};
    sharedDecodeTarget(job, prepared, target);
    LoadedPicture shared;
    bool decoded = false, failed = false;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        PreparedPicture& out = *outputs[i];
        const PicturePlan& plan = out.plan;
        if (plan.verdict == PicturePlan::Verdict::unreadable) {
            out.problem = plan.reason;
            continue;
        }
        out.loaded = true;
        if (!decodes(*jobs[i], plan))
            continue;
        if (!decoded && !failed) {
            failed = !loadPlanned(file, plan, target, shared, cancel);
            decoded = !failed;
        }
        if (failed) {
            out.loaded = false;
            out.problem = shared.problem;
            continue;
        }
        ShapedPicture shaped;
        shaped.picture = shared;
        // Each output shapes a picture of its own.
        if (jobs.size() > 1)
            shaped.picture.image = shared.image.Copy();
        shapeLoaded(plan, jobs[i]->settings, shaped);
        if (shaped.keptX >= 0) {
            out.plan.keptX = shaped.keptX;
            out.plan.keptY = shaped.keptY;
        }
        finishPicture(file, *jobs[i], i == 0 ? quality : jobs[i]->settings.quality, shaped, out);
    }
}

PreparedPicture preparedOrFailed(const std::function<void(PreparedPicture&)>& make)
{
    PreparedPicture prepared;
    try {
        make(prepared);
        return prepared;
    } catch (const std::bad_alloc&) {
        prepared.problem = said(_("needs more memory than is free"));
    } catch (const std::exception& error) {
        prepared.problem = said(_("cannot be prepared: %s"), error.what());
    }
    prepared.loaded = false;
    prepared.bytes.clear();
    return prepared;
}
