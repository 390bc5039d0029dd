#include "batch/PicturePlan.h"

#include <utility>

#include "batch/FitInBox.h"
#include "batch/PictureFile.h"
#include "batch/ProcessingRecord.h"
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

PicturePlan planPicture(const PictureFile& file, const ProcessingJob& job)
{
    PicturePlan plan;
    const std::string output = utf8(job.outputFolder);
    const ResultWriter results(output);
    const std::string relative = relativePath(utf8(job.directory), file.path());
    plan.target = output.empty() ? file.path() : results.pathOf(relative);

    std::string folderProblem;
    const ResultWriter::Existing existing =
        output.empty() ? ResultWriter::Existing::none : results.existing(relative, &folderProblem);
    if (existing == ResultWriter::Existing::file && job.skipExisting) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = plan.target + " is there already";
        return plan;
    }
    if (job.settings.skipProcessed && carriesRecord(file.jpegHead().record, job.record)) {
        plan.verdict = PicturePlan::Verdict::skip;
        plan.reason = "already processed with these settings";
        plan.alreadyProcessed = true;
        return plan;
    }
    std::uint32_t width = 0, height = 0;
    if (!file.declaredSize(width, height)) {
        plan.verdict = PicturePlan::Verdict::unreadable;
        plan.reason = file.stamp().size < 0 ? "cannot be read"
                      : file.format() == PictureFormat::other ? "not a JPEG, PNG or TIFF picture"
                                                             : "no readable size in its head";
        return plan;
    }

    plan.storedWidth = plan.width = width;
    plan.storedHeight = plan.height = height;
    if (job.settings.resize && (plan.width > job.settings.width || plan.height > job.settings.width)) {
        const FittedSize fitted = fitInBox(plan.width, plan.height, job.settings.width, job.settings.width);
        plan.width = fitted.width;
        plan.height = fitted.height;
        plan.resized = true;
    }
    const JpegHead& head = file.jpegHead();
    const int orientation = job.settings.rotate && head.exifRead ? head.orientation : 0;
    plan.orientation = orientation >= 2 && orientation <= 8 ? orientation : 0;
    if (plan.orientation >= 5)
        std::swap(plan.width, plan.height);

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
