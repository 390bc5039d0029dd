#include "batch/WorkingThread.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <exception>

#include <wx/log.h>

#include "batch/BatchEvents.h"
#include "batch/BatchOwner.h"
#include "batch/PicturePipeline.h"
#include "batch/PictureReport.h"
#include "batch/ProcessingRecord.h"
#include "batch/ResultNames.h"
#include "batch/ShapedPicture.h"
#include "batch/TextMark.h"
#include "batch/UnwritableFolder.h"
#include "jpeg/MetadataHandler.h"
#include "pixel/JpegReplacer.h"
#include "pixel/MarkPlacement.h"
#include "platform/PathNames.h"
#include "platform/PictureList.h"
#include "platform/ResultWriter.h"
#include "text/Translated.h"
#include "text/NameKey.h"
#include "text/Utf8Text.h"

WorkingThread::WorkingThread(BatchOwner* owner, const ProcessingJob& job, wxThreadKind kind)
    : wxThread(kind), owner_(owner), job_(job)
{
}

void WorkingThread::requestStop()
{
    stopRequested_ = true;
}

bool WorkingThread::stopRequested()
{
    return stopRequested_ || TestDestroy();
}

WorkingThread::~WorkingThread()
{
    owner_->workerEnded(this);
}

wxThread::ExitCode WorkingThread::Entry()
{
    // Only the program's own messages reach the user, never the toolkit's
    // log boxes (a picture that fails to load would raise one).
    wxLogNull noToolkitMessages;

    owner_->postNotification(wxCommandEvent(EVT_BATCH_STARTED, batchStartedId));

    const long quality = job_.settings.quality;

    // An exception here would end the program with the window still waiting:
    // the batch ends instead, and says so. Pictures written are whole.
    try {
        ProcessDirectory(quality);
    } catch (const std::exception& error) {
        statistics_.countNotSaved(said(_("the batch stopped: %s"), error.what()));
        owner_->finished(statistics_);
    }

    owner_->postNotification(wxCommandEvent(EVT_BATCH_FINISHED, batchFinishedId));
    return 0;
}

bool WorkingThread::ProcessDirectory(long quality)
{
    statistics_ = BatchStatistics{};
    statistics_.wentOnPastUnreadable = job_.settings.skipUnreadable;
    // Names are made only for a results folder: in place they stay.
    std::vector<ProcessingJob*> outputs{&job_};
    for (ProcessingJob& more : job_.more)
        outputs.push_back(&more);
    std::vector<bool> toFolder;
    for (ProcessingJob* output : outputs) {
        output->resolved = resolveSettings(output->settings);
        toFolder.push_back(!output->outputFolder.empty());
        if (writesBeside(*output))
            output->outputFolder = job_.directory;
    }
    placementReported_ = false;
    missingCharacters_.clear();
    emptyMarks_ = 0;

    if (job_.pictures)
        files_ = *job_.pictures;
    else if (!listPictures(std::string(job_.directory.utf8_str()), job_.settings.includeSubdirectories, files_)) {
        owner_->folderUnreadable(job_.directory);
        return false;
    }
    for (const ProcessingJob* output : outputs)
        if (!output->outputFolder.empty())
            dropOutputFolder(files_, std::string(job_.directory.utf8_str()), std::string(output->outputFolder.utf8_str()));

    originals_.clear();
    for (const std::string& path : files_)
        originals_.insert(nameKey(decidedPath(path)));
    names_.clear();
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        outputs[i]->originals = &originals_;
        names_.push_back(std::make_unique<ResultNames>(outputs[i]->settings, std::string(job_.directory.utf8_str()),
                                                       files_, toFolder[i]));
        outputs[i]->resultNames = names_.back().get();
    }
    const int count = static_cast<int>(files_.size());
    // Said once, before anything starts, rather than once for each picture.
    for (const ProcessingJob* output : outputs) {
        std::string reason;
        const std::string unwritable = unwritableFolder(files_, std::string(output->outputFolder.utf8_str()), reason);
        if (!unwritable.empty()) {
            owner_->folderUnwritable(wxString::FromUTF8(unwritable), wxString::FromUTF8(reason));
            return false;
        }
    }
    if (!job_.dryRun && !owner_->confirm(job_.directory, count, job_.outputFolder))
        return false;
    if (job_.askAboutExisting && !job_.outputFolder.empty())
        decideAboutExisting();

    for (ProcessingJob* output : outputs)
        output->record = processingRecord(*output);
    owner_->setGaugeRange(count);
    // Helpers prepare the next pictures while this thread writes them, in
    // list order, with the same requests in the same order as one by one.
    PicturePipeline pipeline(files_, job_, quality, job_.threads);
    for (int i = 0; i < count; ++i) {
        owner_->setTitle(job_.caption + wxString::Format(wxS(" - %d/%d"), i + 1, count));
        if (stopRequested()) {
            // What was prepared beyond this point is thrown away unwritten.
            pipeline.cancel();
            break;
        }
        const PreparedPicture picture = pipeline.next();
        bool ends = takePicture(picture, job_, 0, files_[i]);
        for (std::size_t k = 0; k < job_.more.size() && k < picture.more.size(); ++k)
            ends = takePicture(picture.more[k], job_.more[k], static_cast<int>(k + 1), files_[i]) || ends;
        if (ends)
            return false;
        owner_->setGaugeValue(i + 1);
    }

    if (!missingCharacters_.empty())
        owner_->charactersMissing(wxString::FromUTF8(missingCharacters_));
    if (emptyMarks_ > 0)
        owner_->textMarksEmpty(emptyMarks_);
    owner_->finished(statistics_);
    owner_->setGaugeValue(0);
    owner_->setTitle(job_.caption);
    return true;
}

bool WorkingThread::takePicture(const PreparedPicture& picture, const ProcessingJob& job, int output,
                               const std::string& path)
{
    PictureReport report;
    report.path = path;
    report.output = output;
    report.plan = picture.plan;
    // Its size as the file stood when it was read: skipped or failed too.
    report.bytesBefore = static_cast<std::uint64_t>(std::max<long long>(picture.stamp.size, 0));
    if (!picture.loaded) {
        report.outcome = PictureReport::Outcome::unreadable;
        report.reason = picture.problem;
        report.endsBatch = !job.settings.skipUnreadable;
        ++statistics_.skipped;
    } else if (picture.plan.verdict == PicturePlan::Verdict::skip) {
        report.outcome = PictureReport::Outcome::skipped;
        report.reason = picture.plan.reason;
        report.alreadyProcessed = picture.plan.alreadyProcessed;
        ++(report.alreadyProcessed ? statistics_.alreadyProcessed : statistics_.alreadyThere);
    } else {
        noteTextMarkGaps(job, picture.plan);
        commitPicture(picture, job, report);
    }
    owner_->pictureDone(report);
    return report.endsBatch;
}

void WorkingThread::commitPicture(const PreparedPicture& picture, const ProcessingJob& job, PictureReport& report)
{
    const PicturePlan& plan = picture.plan;
    const bool failing = plan.verdict == PicturePlan::Verdict::fail;
    // Where the mark went, in a dry run too where the pixels chose it.
    report.watermarkPlace = picture.watermarkPlace;
    report.watermarkTone = picture.watermarkTone;
    if (job.dryRun && !failing) {
        // What the plan says the write would do.
        report.resized = plan.resized;
        report.rotated = plan.orientation != 0;
        // A text mark whose tokens come to nothing is not drawn.
        report.watermarked =
            job.settings.useWatermark && (!job.settings.textWatermark || !plan.watermarkText.empty());
        report.quality = job.settings.quality;
        countSaved(report);
        return;
    }
    // Once a batch is enough to tell the user.
    if (!picture.placementMessage.empty() && !placementReported_) {
        owner_->placementFallback(picture.placementMessage, picture.placementCaption);
        placementReported_ = true;
    }
    // The trace log is written here, one picture after the other.
    if (job.settings.rotate && job.traceLog && !job.dryRun) {
        // The picture's head was read with its plan: the log is not a reason to read it again.
        MetadataHandler handler(report.path.c_str(), true);
        if (markChosenByGround(job))
            handler.note("Watermark: " + std::string(placeName(picture.watermarkPlace)) +
                         (picture.watermarkTone.empty() ? "" : ", " + picture.watermarkTone));
    }

    bool saved = false;
    if (failing) {
        report.reason = plan.problem;
        report.refusal = plan.refusal;
    } else if (picture.bytes.empty() && !picture.problem.empty()) {
        report.reason = said(_("cannot be written: %s"), picture.problem);
    } else if (job.outputFolder.empty()) {
        saved = replaceFile(report.path, picture.bytes, &report.reason);
    } else {
        const ResultWriter results(std::string(job.outputFolder.utf8_str()));
        const std::string& relative = plan.resultName;
        const WriteOutcome outcome =
            results.write(relative, picture.bytes, job.overwrite, picture.stamp.modified, report.reason);
        if (outcome == WriteOutcome::exists && job.skipExisting) {
            // Done since it was planned, by an earlier run that was stopped
            // or by another program.
            report.reason.clear();
            report.outcome = PictureReport::Outcome::skipped;
            ++statistics_.alreadyThere;
            return;
        }
        saved = outcome == WriteOutcome::written;
        report.refusal = outcome;
        if (outcome == WriteOutcome::exists)
            report.reason += existingResultNote(results.pathOf(relative), report.path);
    }
    if (!saved) {
        report.outcome = PictureReport::Outcome::notWritten;
        if (report.refusal == WriteOutcome::written)
            report.refusal = WriteOutcome::failed;
        report.earlierResult = report.refusal == WriteOutcome::exists && isResultOf(plan.target, report.path);
        statistics_.countNotSaved(report.path + ": " + report.reason);
        return;
    }
    report.bytesAfter = picture.bytes.size();
    report.quality = picture.quality;
    report.overLimit = picture.overLimit;
    if (report.overLimit && statistics_.overLimit++ == 0)
        statistics_.firstOverLimit = report.path;
    report.resized = picture.resized;
    report.rotated = picture.rotated;
    report.watermarked = picture.watermarked;
    countSaved(report);
}

void WorkingThread::noteTextMarkGaps(const ProcessingJob& job, const PicturePlan& plan)
{
    if (job.textMark && job.settings.useWatermark && plan.watermarkText.empty() &&
        plan.verdict == PicturePlan::Verdict::process)
        ++emptyMarks_;
    if (!job.textMark || plan.watermarkText.empty())
        return;
    const std::u32string known = codePoints(missingCharacters_);
    for (char32_t c : codePoints(job.textMark->missingCharacters(plan.watermarkText)))
        if (known.find(c) == std::u32string::npos)
            missingCharacters_ += utf8Of(c);
}

void WorkingThread::countSaved(const PictureReport& report)
{
    // Counted only once the picture is saved: the statistics must not claim
    // work that never reached the disk.
    statistics_.resized += report.resized;
    statistics_.rotated += report.rotated;
    statistics_.watermarked += report.watermarked;
}

void WorkingThread::decideAboutExisting()
{
    std::string output(job_.outputFolder.utf8_str());
    int earlier = 0, others = 0;
    countExisting(output, earlier, others);
    if (earlier + others == 0)
        return;
    job_.overwrite = false;
    job_.skipExisting = true;
    // One answer for the whole batch, never a silent replacement; a file
    // that is no earlier result of these pictures is replaced by no answer.
    if (others == 0) {
        job_.overwrite = owner_->replaceExisting(job_.outputFolder, earlier);
        job_.skipExisting = !job_.overwrite;
        return;
    }
    const std::string subfolder =
        joinPath(output, folderName(std::string(job_.directory.utf8_str())));
    if (!owner_->useSubfolder(job_.outputFolder, earlier, others, wxString::FromUTF8(subfolder)))
        return;
    job_.outputFolder = wxString::FromUTF8(subfolder);
    earlier = others = 0;
    countExisting(subfolder, earlier, others);
    if (others == 0 && earlier > 0) {
        job_.overwrite = owner_->replaceExisting(job_.outputFolder, earlier);
        job_.skipExisting = !job_.overwrite;
    }
}

void WorkingThread::countExisting(const std::string& output, int& earlier, int& others) const
{
    const ResultWriter results(output);
    for (const std::string& path : files_) {
        const std::string& relative = names_[0]->of(path);
        const ResultWriter::Existing there = results.existing(relative);
        if (there == ResultWriter::Existing::none)
            continue;
        ++(there == ResultWriter::Existing::file && isResultOf(results.pathOf(relative), path) ? earlier : others);
    }
}

