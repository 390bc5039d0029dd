#include "batch/PicturePlan.h"

#include <algorithm>
#include <utility>

#include "batch/ProcessingRecord.h"
#include "batch/ResultNames.h"
#include "batch/TextMark.h"
#include "jpeg/PictureTags.h"
#include "pixel/PictureFile.h"
#include "platform/PathNames.h"
#include "platform/ResultWriter.h"
#include "text/NameKey.h"
#include "text/Translated.h"

namespace {

// Plans are made on several helper threads from one job: a wxString keeps
// its conversion in a cache of its own, so each converts a copy.
std::string utf8(const wxString& text)
{
    return std::string(wxString(text).utf8_str());
}

PicturePlan failing(PicturePlan plan, const std::string& reason, const std::string& problem)
{
    plan.verdict = PicturePlan::Verdict::fail;
    if (plan.refusal == WriteOutcome::written)
        plan.refusal = WriteOutcome::failed;
    plan.reason = reason;
    plan.problem = problem;
    return plan;
}

}  // namespace

bool originalCrop(const PicturePlan& plan, CropWindow& crop)
{
    if (plan.frame != FitMode::cover || plan.keptX < 0)
        return false;
    const bool across = plan.orientation >= 5;
    const long long originalWidth = across ? plan.storedHeight : plan.storedWidth;
    const long long originalHeight = across ? plan.storedWidth : plan.storedHeight;
    const long long fittedWidth = std::max<long long>(1, across ? plan.fitHeight : plan.fitWidth);
    const long long fittedHeight = std::max<long long>(1, across ? plan.fitWidth : plan.fitHeight);
    crop.x = plan.keptX * originalWidth / fittedWidth;
    crop.y = plan.keptY * originalHeight / fittedHeight;
    crop.width = std::min(originalWidth - crop.x, plan.keptWidth * originalWidth / fittedWidth);
    crop.height = std::min(originalHeight - crop.y, plan.keptHeight * originalHeight / fittedHeight);
    return true;
}

FittedSize decodeTarget(const PicturePlan& plan)
{
    return plan.resized ? FittedSize{plan.fitWidth, plan.fitHeight} : FittedSize{0, 0};
}

void planShape(PicturePlan& plan, long long width, long long height, int orientation,
               const ResolvedSettings& settings)
{
    plan.storedWidth = plan.fitWidth = width;
    plan.storedHeight = plan.fitHeight = height;
    plan.orientation = settings.rotate && orientation >= 2 && orientation <= 8 ? orientation : 0;
    // A width or a frame is the result's, as it stands once turned.
    const bool across = plan.orientation >= 5;
    FittedSize fitted{0, 0};
    plan.resized = settings.resize && shrinksUnder(settings.fit, across ? height : width, across ? width : height,
                                                   fitted);
    plan.sharpening = settings.sharpening;
    if (plan.resized) {
        plan.fitWidth = across ? fitted.height : fitted.width;
        plan.fitHeight = across ? fitted.width : fitted.height;
    }
    plan.width = across ? plan.fitHeight : plan.fitWidth;
    plan.height = across ? plan.fitWidth : plan.fitHeight;
    const SizeRule& fit = settings.fit;
    if (!settings.resize || (fit.mode != FitMode::cover && fit.mode != FitMode::contain))
        return;
    plan.frame = fit.mode;
    if (fit.mode == FitMode::contain) {
        std::copy(settings.background, settings.background + 3, plan.background);
        plan.width = fit.width;
        plan.height = fit.height;
        return;
    }
    const FittedSize kept = coverCrop(fit, plan.width, plan.height);
    plan.focusOnDetail = settings.focusOnDetail;
    if (!plan.focusOnDetail) {
        plan.keptX = (plan.width - kept.width) / 2;
        plan.keptY = (plan.height - kept.height) / 2;
    }
    plan.keptWidth = kept.width;
    plan.keptHeight = kept.height;
    plan.width = kept.width;
    plan.height = kept.height;
}

std::string resultName(const std::string& relative, ResultFormat format)
{
    if (format != ResultFormat::webp)
        return relative;
    return relative.substr(0, relative.size() - extensionOf(relative).size()) + ".webp";
}

bool writesBeside(const ProcessingJob& job)
{
    return job.resolved.format == ResultFormat::webp && job.outputFolder.empty();
}

PicturePlan planPicture(const PictureFile& file, const ProcessingJob& job)
{
    PicturePlan plan;
    const std::string output = utf8(job.outputFolder);
    const std::string directory = utf8(job.directory);
    const ResultWriter results(output);
    const std::string relative = job.resultNames ? job.resultNames->of(file.path())
                                                 : resultName(relativePath(directory, file.path()), job.resolved.format);
    plan.resultName = relative;
    plan.target = output.empty() ? file.path() : results.pathOf(relative);

    // The question the write answers, asked once without writing: a file
    // there is "exists" until overwrite replaces it.
    std::string asked;
    const WriteOutcome standing = output.empty() ? WriteOutcome::written : results.wouldWrite(relative, false, asked);
    const bool there = standing == WriteOutcome::exists;
    if (there && job.skipExisting) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = said(_("%s is there already"), plan.target);
        return plan;
    }
    // A WebP result never replaces its picture: the record is the result's.
    const std::string found = job.resolved.format == ResultFormat::webp
                                  ? (there && isResultOf(plan.target, file.path())
                                         ? resultFileRecord(plan.target)
                                         : std::string())
                                  : file.jpegHead().record;
    if (job.settings.skipProcessed && carriesRecord(found, job.record)) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = said(_("already processed with these settings"));
        plan.alreadyProcessed = true;
        return plan;
    }
    std::uint32_t width = 0, height = 0;
    if (!file.declaredSize(width, height)) {
        plan.verdict = PicturePlan::Verdict::unreadable;
        plan.reason = !file.opened() ? file.openProblem()
                      : file.format() == PictureFormat::other ? said(_("not a JPEG, PNG or TIFF picture"))
                                                             : said(_("no readable size in its head"));
        return plan;
    }

    const JpegHead& head = file.jpegHead();
    planShape(plan, width, height, head.exifRead ? head.orientation : 0, job.resolved);
    if (job.textMark && job.settings.useWatermark && job.settings.textWatermark)
        plan.watermarkText = job.textMark->textFor(pictureTags(head), file.path());
    if (plan.width <= 0 || plan.height <= 0)
        return failing(plan, said(_("nothing to write (an empty box)")),
                       said(_("cannot be written: nothing to write (an empty box)")));
    std::string problem;
    if (output.empty())
        return plan;
    plan.refusal = WriteOutcome::exists;
    if (job.originals && job.originals->count(nameKey(decidedPath(plan.target))) != 0)
        problem = notWritten(said(_("%s is a picture of this batch, which a result never replaces"), plan.target));
    // Below the folder processed, a file in the way is a picture of the
    // user's (one left out of this batch, say) unless it is this picture's
    // own earlier result: replacing it would lose an original.
    else if (job.overwrite && there && liesWithin(plan.target, directory) &&
             !isResultOf(plan.target, file.path()))
        problem = notWritten(said(_("%s lies in the folder processed and is no earlier result of this picture, so it "
                                    "is never replaced"),
                                  plan.target));
    else if (job.resultNames && job.resultNames->clashes(file.path())) {
        problem = notWritten(said(_("%s lies in a folder that is another result's file name"), plan.target));
        plan.refusal = WriteOutcome::notAFile;
    } else if ((plan.refusal = there && job.overwrite ? WriteOutcome::written : standing) != WriteOutcome::written) {
        problem = asked + (there ? existingResultNote(plan.target, file.path()) : std::string());
    }
    const std::string prefix = notWritten("");
    if (!problem.empty())
        return failing(plan, problem.rfind(prefix, 0) == 0 ? problem.substr(prefix.size()) : problem, problem);
    return plan;
}
