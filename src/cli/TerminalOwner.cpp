#include "cli/TerminalOwner.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "batch/PictureReport.h"
#include "batch/WorkingThread.h"
#include "cli/DryRun.h"
#include "cli/JsonText.h"
#include "diag/FixedNumber.h"
#include "pixel/MarkPlacement.h"
#include "platform/PathNames.h"
#include "platform/TerminalStreams.h"
#include "text/Translated.h"
#include "text/Utf8Text.h"

namespace {

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

const char* outcomeName(PictureReport::Outcome outcome)
{
    switch (outcome) {
    case PictureReport::Outcome::saved: return "saved";
    case PictureReport::Outcome::unreadable: return "unreadable";
    case PictureReport::Outcome::notWritten: return "not written";
    case PictureReport::Outcome::skipped: return "skipped";
    }
    return "";
}

// What stood in a result's way, for scripts.
const char* refusalName(const PictureReport& report)
{
    switch (report.refusal) {
    case WriteOutcome::written: return "";
    case WriteOutcome::exists: return report.earlierResult ? "earlierResult" : "existing";
    case WriteOutcome::linkInWay: return "linkInWay";
    case WriteOutcome::notAFile: return "notAFile";
    case WriteOutcome::noRoom: return "noRoom";
    case WriteOutcome::noRights: return "noRights";
    case WriteOutcome::failed: return "failed";
    }
    return "";
}

// 101309440 as "96.6 MiB".
std::string humanBytes(std::uint64_t bytes)
{
    static const char* const units[] = {"", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    if (unit == 0)
        return said(_("%s bytes"), formatFixed(value, 0));
    return formatFixed(value, 1) + " " + units[unit];
}

}  // namespace

TerminalOwner::TerminalOwner(const TerminalReporting& reporting)
    : reporting_(reporting), progress_(errorIsTerminal() && !reporting.quiet), logPictures_(!outputIsTerminal())
{
}

void TerminalOwner::run(const ProcessingJob& job)
{
    folder_ = shownPath(utf8(job.directory));
    outputFolder_ = utf8(job.outputFolder);
    outputs_.assign(1, wordsFor(job));
    for (const ProcessingJob& more : job.more) {
        outputs_.push_back(wordsFor(more));
        outputs_.front().namesMade = outputs_.back().namesMade = true;
    }
    for (const OutputWords& words : outputs_)
        limited_ = limited_ || words.limited;
    // Joinable: the batch is over, thread and all, once Wait returns.
    WorkingThread worker(this, job, wxTHREAD_JOINABLE);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        worker_ = &worker;
    }
    if (worker.Run() == wxTHREAD_NO_ERROR) {
        worker.Wait();
    } else {
        writeText(stderr, said(_("tessaly-batch: cannot start the batch for %s"), folder_) + "\n");
        ++folderFailures_;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    worker_ = nullptr;
}

TerminalOwner::OutputWords TerminalOwner::wordsFor(const ProcessingJob& job)
{
    const BatchSettings& s = job.settings;
    OutputWords words;
    words.watermarking = s.useWatermark;
    words.textMark = s.useWatermark && s.textWatermark;
    words.placeChosen = s.useWatermark && s.autoPlacement;
    words.toneChosen = s.useWatermark && (words.textMark ? s.textColour == "auto" : job.brightWatermarkImage != nullptr);
    words.format = s.outputFormat;
    words.limited = s.maxFileSize > 0;
    words.namesMade = !s.nameTemplate.empty() && !job.outputFolder.empty();
    // How results are written, said in the dry run where it is not JPEG at the quality alone.
    words.writing = s.outputFormat == "webp" ? said(_(", as WebP at quality %d"), s.quality) : "";
    if (words.limited)
        words.writing += (words.writing.empty() ? said(_(", at quality %d"), s.quality) : std::string()) +
                         said(_(" or less for at most %d KB"), s.maxFileSize);
    return words;
}

void TerminalOwner::stop()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (worker_)
        worker_->requestStop();
}

void TerminalOwner::setGaugeRange(int range)
{
    planned_ += range;
    total_ = range;
    done_ = 0;
    started_ = std::chrono::steady_clock::now();
}

bool TerminalOwner::confirm(const wxString& folder, int count, const wxString& output)
{
    if (!reporting_.ask)
        return true;
    // WebP results in place go beside their pictures, into the folder itself.
    const std::string what =
        output == folder      ? said(_("writing WebP results beside them"))
        : outputFolder_.empty() ? said(_("replacing them"))
                                : said(_("writing the results below %s"),
                                       shownPath(joinPath(outputFolder_, "")));
    // Set before the question shows: a Ctrl-C that answers it must end the
    // program, not wait for the batch that has not begun.
    asking_ = true;
    writeText(stderr, said(_("Process %d pictures in %s, %s? [y/N] "), count, folder_, what));
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer))
        writeText(stderr, "\n");
    asking_ = false;
    // English answers are understood in every language.
    const wxString given = wxString::FromUTF8(answer).Lower();
    const bool yes = given == wxS("y") || given == wxS("yes") || given == _("y") || given == _("yes");
    declined_ += !yes;
    return yes;
}

void TerminalOwner::folderUnreadable(const wxString&)
{
    writeText(stderr, said(_("tessaly-batch: %s: cannot open the folder"), folder_) + "\n");
    ++folderFailures_;
}

void TerminalOwner::folderUnwritable(const wxString& folder, const wxString& reason)
{
    const std::string path = shownPath(utf8(folder));
    writeText(stderr,
              (reporting_.dryRun
                   ? said(_("tessaly-batch: %s: no picture can be saved there: %s; nothing would be processed"), path,
                          reason)
                   : said(_("tessaly-batch: %s: no picture can be saved there: %s; nothing was processed"), path,
                          reason)) +
                  "\n");
    ++folderFailures_;
}

void TerminalOwner::placementFallback(const wxString& message, const wxString&)
{
    endProgressLine();
    writeText(stderr, "tessaly-batch: " + utf8(message) + "\n");
}

std::string TerminalOwner::markChoice(const PictureReport& report) const
{
    const OutputWords& words = outputs_.at(static_cast<std::size_t>(report.output));
    std::string chosen;
    if (words.placeChosen && report.watermarkPlace != 0)
        chosen += said(_(", the mark %s"), placeName(report.watermarkPlace));
    if (words.toneChosen && !report.watermarkTone.empty())
        chosen += (chosen.empty() ? said(_(", the mark %s"), report.watermarkTone) : " " + report.watermarkTone);
    return chosen;
}

void TerminalOwner::charactersMissing(const wxString& characters)
{
    endProgressLine();
    writeText(stderr,
              said(_("tessaly-batch: the fonts have no letters for %s, left out of the watermark text"), characters) +
                  "\n");
}

void TerminalOwner::textMarksEmpty(int pictures)
{
    endProgressLine();
    writeText(stderr, said(wxPLURAL("tessaly-batch: %d picture has none of the watermark text's tokens and was not "
                                    "marked",
                                    "tessaly-batch: %d pictures have none of the watermark text's tokens and were "
                                    "not marked",
                                    pictures),
                           pictures) +
                          "\n");
}

void TerminalOwner::output(const std::string& line)
{
    // A reader that has gone (tessaly-batch ... | head) ends the run after
    // the picture in hand, as Ctrl-C does.
    if (outputGone_)
        return;
    if (!writeText(stdout, line) || std::fflush(stdout) != 0) {
        outputGone_ = true;
        stop();
    }
}

void TerminalOwner::pictureDone(const PictureReport& done)
{
    PictureReport report = done;
    report.path = shownPath(report.path);
    report.plan.target = shownPath(report.plan.target);
    report.reason = shownPath(report.reason);
    report.plan.reason = shownPath(report.plan.reason);
    // Progress counts pictures, not the files written for each preset.
    done_ += report.output == 0;
    ++pictures_;
    switch (report.outcome) {
    case PictureReport::Outcome::saved:
        ++saved_;
        overLimit_ += report.overLimit;
        if (report.overLimit) {
            endProgressLine();
            writeText(stderr,
                      said(_("tessaly-batch: %s: over the size limit even at quality %ld, written so"), report.path,
                           report.quality) +
                          "\n");
        }
        resized_ += report.resized;
        rotated_ += report.rotated;
        watermarked_ += report.watermarked;
        bytesBefore_ += report.bytesBefore;
        bytesAfter_ += report.bytesAfter;
        break;
    case PictureReport::Outcome::skipped:
        ++(report.alreadyProcessed ? processed_ : skipped_);
        break;
    default:
        ++failed_;
        endProgressLine();
        if (!reporting_.dryRun)
            writeText(stderr, "tessaly-batch: " + report.path + ": " + report.reason + "\n");
    }
    const std::string dry = reporting_.dryRun ? ", \"dryRun\": true" : "";
    const OutputWords& words = outputs_.at(static_cast<std::size_t>(report.output));
    std::string text = words.textMark ? ", \"watermarkText\": " + jsonText(report.plan.watermarkText) : "";
    const bool marked = report.watermarkPlace != 0;
    if (words.placeChosen && marked)
        text += ", \"watermarkPosition\": " + jsonText(placeName(report.watermarkPlace));
    if (words.toneChosen && !report.watermarkTone.empty())
        text += ", \"watermarkTone\": " + jsonText(report.watermarkTone);
    // A frame's result has the frame's size; a cover frame keeps a part of the picture.
    const PicturePlan& plan = report.plan;
    if (plan.frame != FitMode::box && plan.width > 0)
        text += ", \"width\": " + std::to_string(plan.width) + ", \"height\": " + std::to_string(plan.height);
    CropWindow crop;
    if (plan.frame == FitMode::cover)
        text += ", \"crop\": " + (originalCrop(plan, crop) ? "[" + std::to_string(crop.x) + ", " + std::to_string(crop.y) +
                                                            ", " + std::to_string(crop.width) + ", " +
                                                            std::to_string(crop.height) + "]"
                                                      : std::string("null"));
    if (reporting_.json) {
        // What the dry run cannot know: the quality a size limit leads to,
        // and whether the limit is met.
        const std::string quality = reporting_.dryRun && words.limited ? "null" : std::to_string(report.quality);
        const std::string overLimit = reporting_.dryRun ? "null" : jsonFlag(report.overLimit);
        output("{" + jsonPath("path", report.path) + ", " + jsonPath("written", report.plan.target) +
               ", \"outcome\": " + jsonText(outcomeName(report.outcome)) +
               (report.outcome == PictureReport::Outcome::notWritten ? ", \"refusal\": " + jsonText(refusalName(report))
                                                                     : "") +
               ", \"reason\": " + jsonText(report.reason) + ", \"bytesBefore\": " + std::to_string(report.bytesBefore) +
               ", \"bytesAfter\": " + std::to_string(report.bytesAfter) + ", \"resized\": " +
               jsonFlag(report.resized) + ", \"rotated\": " + jsonFlag(report.rotated) + ", \"watermarked\": " +
               jsonFlag(report.watermarked) + text + ", \"format\": " + jsonText(words.format) + ", \"quality\": " +
               quality + (words.limited ? ", \"overLimit\": " + overLimit : "") +
               dry + "}\n");
    } else if (reporting_.dryRun) {
        output(dryRunLine(report, words.watermarking,
                          words.writing + markChoice(report) + (words.namesMade ? said(_(", to %s"), report.plan.target) : "")) +
               "\n");
    } else if (logPictures_ && !reporting_.quiet && report.outcome == PictureReport::Outcome::saved) {
        output(report.path + " -> " + report.plan.target + "\n");
    }
    if (progress_ && !reporting_.dryRun)
        showProgress(done);
}

void TerminalOwner::showProgress(const PictureReport& report)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    const int left = rate > 0 ? static_cast<int>((total_ - done_) / rate + 0.5) : 0;
    const std::string text = said(_("%d/%d  %s pictures/s  %d:%02d left  %s"), done_, total_, formatFixed(rate, 1),
                                  left / 60, left % 60, baseName(report.path));
    // One write: stderr is unbuffered. Where the console takes no escape
    // sequence, spaces cover what a longer line before left.
    const std::size_t width = codePoints(text).size();
    const std::size_t cover = errorTakesEscapes() || progressWidth_ <= width ? 0 : progressWidth_ - width;
    writeText(stderr, (errorTakesEscapes() ? "\r\033[K" : "\r") + text + std::string(cover, ' '));
    progressWidth_ = width;
    progressLineOpen_ = done_ < total_;
    if (!progressLineOpen_)
        writeText(stderr, "\n");
    std::fflush(stderr);
}

void TerminalOwner::endProgressLine()
{
    if (progressLineOpen_)
        writeText(stderr, "\n");
    progressLineOpen_ = false;
}

void TerminalOwner::printTotals(bool interrupted)
{
    endProgressLine();
    if (reporting_.json) {
        output("{\"pictures\": " + std::to_string(pictures_) + ", \"saved\": " + std::to_string(saved_) +
               ", \"failed\": " + std::to_string(failed_ + folderFailures_) + ", \"skipped\": " +
               std::to_string(skipped_ + processed_) + ", \"resized\": " + std::to_string(resized_) + ", \"rotated\": " +
               std::to_string(rotated_) + ", \"watermarked\": " + std::to_string(watermarked_) +
               ", \"bytesBefore\": " + std::to_string(bytesBefore_) + ", \"bytesAfter\": " +
               std::to_string(bytesAfter_) + (limited_ ? ", \"overLimit\": " + std::to_string(overLimit_) : "") +
               ", \"interrupted\": " + jsonFlag(interrupted) +
               (reporting_.dryRun ? ", \"dryRun\": true" : "") + "}\n");
        return;
    }
    if (reporting_.dryRun) {
        output(said(_("%d pictures would be saved (%d resized, %d turned, %d watermarked), %d would fail, %d "
                      "skipped; nothing was changed"),
                    saved_, resized_, rotated_, watermarked_, failed_, skipped_ + processed_) +
               "\n");
        return;
    }
    if (reporting_.quiet)
        return;
    // Interrupted, how many of the pictures planned were reached.
    std::string totals =
        (interrupted ? said(_("Interrupted: %d of %d pictures: "), pictures_, planned_)
                     : said(_("%d pictures: "), pictures_)) +
        said(_("%d saved (%d resized, %d rotated, %d watermarked), %d failed"), saved_, resized_, rotated_,
             watermarked_, failed_);
    if (skipped_ > 0)
        totals += said(_(", %d skipped (already there)"), skipped_);
    if (processed_ > 0)
        totals += said(_(", %d skipped (already processed)"), processed_);
    if (overLimit_ > 0)
        totals += said(_(", %d over the size limit"), overLimit_);
    totals += said(_("; %s bytes before, %s after"), std::to_string(bytesBefore_), std::to_string(bytesAfter_));
    if (bytesBefore_ > 0) {
        const long change = std::lround((double(bytesAfter_) - double(bytesBefore_)) * 100 / double(bytesBefore_));
        totals += " (" + humanBytes(bytesBefore_) + " \u2192 " + humanBytes(bytesAfter_) + ", " +
                  (change < 0 ? "\u2212" : "+") + std::to_string(std::labs(change)) + " %)";
    }
    output(totals + "\n");
}
