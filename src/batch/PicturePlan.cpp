#include "batch/PicturePlan.h"

#include <utility>

#include "pixel/FitInBox.h"
#include "pixel/PictureFile.h"
#include "batch/ProcessingRecord.h"
#include "batch/TextMark.h"
#include "jpeg/PictureTags.h"
#include "platform/PictureList.h"
#include "platform/ResultWriter.h"

namespace {

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

PicturePlan failing(PicturePlan plan, const std::string& reason, const std::string& problem)
{
    plan.verdict = PicturePlan::Verdict::fail;
    plan.reason = reason;
    plan.problem = problem;
    return plan;
}

}  // namespace

void planShape(PicturePlan& plan, long long width, long long height, int orientation, const BatchSettings& settings)
{
    plan.storedWidth = plan.fitWidth = width;
    plan.storedHeight = plan.fitHeight = height;
    plan.resized = settings.resize && (width > settings.width || height > settings.width);
    if (plan.resized) {
        const FittedSize fitted = fitInBox(width, height, settings.width, settings.width);
        plan.fitWidth = fitted.width;
        plan.fitHeight = fitted.height;
    }
    plan.orientation = settings.rotate && orientation >= 2 && orientation <= 8 ? orientation : 0;
    const bool across = plan.orientation >= 5;
    plan.width = across ? plan.fitHeight : plan.fitWidth;
    plan.height = across ? plan.fitWidth : plan.fitHeight;
}

std::string resultName(const std::string& relative, const BatchSettings& settings)
{
    if (settings.outputFormat != "webp")
        return relative;
    const std::size_t slash = relative.rfind('/');
    const std::size_t dot = relative.rfind('.');
    const bool extended = dot != std::string::npos && dot > (slash == std::string::npos ? 0 : slash + 1);
    return (extended ? relative.substr(0, dot) : relative) + ".webp";
}

bool writesBeside(const ProcessingJob& job)
{
    return job.settings.outputFormat == "webp" && job.outputFolder.empty();
}

PicturePlan planPicture(const PictureFile& file, const ProcessingJob& job)
{
    PicturePlan plan;
    const std::string output = utf8(job.outputFolder);
    const ResultWriter results(output);
    const std::string relative = resultName(relativePath(utf8(job.directory), file.path()), job.settings);
    plan.target = output.empty() ? file.path() : results.pathOf(relative);

    std::string folderProblem;
    const ResultWriter::Existing existing =
        output.empty() ? ResultWriter::Existing::none : results.existing(relative, &folderProblem);
    if (existing == ResultWriter::Existing::file && job.skipExisting) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = plan.target + " is there already";
        return plan;
    }
    // A WebP result never replaces its picture: the record is the result's.
    const std::string found = job.settings.outputFormat == "webp"
                                  ? (existing == ResultWriter::Existing::file && isResultOf(plan.target, file.path())
                                         ? resultFileRecord(plan.target)
                                         : std::string())
                                  : file.jpegHead().record;
    if (job.settings.skipProcessed && carriesRecord(found, job.record)) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = "already processed with these settings";
        plan.alreadyProcessed = true;
        return plan;
    }
    std::uint32_t width = 0, height = 0;
    if (!file.declaredSize(width, height)) {
        plan.verdict = PicturePlan::Verdict::unreadable;
        plan.reason = !file.opened() ? file.openProblem()
                      : file.format() == PictureFormat::other ? "not a JPEG, PNG or TIFF picture"
                                                             : "no readable size in its head";
        return plan;
    }

    const JpegHead& head = file.jpegHead();
    planShape(plan, width, height, head.exifRead ? head.orientation : 0, job.settings);
    if (job.textMark && job.settings.useWatermark && job.settings.textWatermark)
        plan.watermarkText = job.textMark->textFor(pictureTags(head), file.path());
    if (plan.width <= 0 || plan.height <= 0)
        return failing(plan, "nothing to write (an empty box)", "cannot be written: nothing to write (an empty box)");
    // In the words the write would use.
    std::string problem;
    if (existing == ResultWriter::Existing::link)
        problem = "not written: " + plan.target + " is a symbolic link, which is never followed";
    else if (existing == ResultWriter::Existing::other)
        problem = folderProblem.empty() ? "not written: " + plan.target + " is not a regular file" : folderProblem;
    else if (existing == ResultWriter::Existing::file && !job.overwrite)
        problem = "not written: " + plan.target + " already exists" + existingResultNote(plan.target, file.path());
    const std::string prefix = "not written: ";
    if (!problem.empty())
        return failing(plan, problem.rfind(prefix, 0) == 0 ? problem.substr(prefix.size()) : problem, problem);
    return plan;
}
