#include "batch/WorkingThread.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <sys/stat.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include "batch/BatchEvents.h"
#include "batch/BatchOwner.h"
#include "batch/JpegReplacer.h"
#include "batch/PictureList.h"
#include "batch/PicturePipeline.h"
#include "batch/PictureReport.h"
#include "jpeg/MetadataHandler.h"

namespace {

// Quality used when the quality text is not a number.
constexpr long defaultQuality = 100;

}  // namespace

WorkingThread::WorkingThread(BatchOwner* owner, const ProcessingJob& job)
    : wxThread(wxTHREAD_DETACHED), owner_(owner), job_(job)
{
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

    long quality = defaultQuality;
    if (!job_.qualityText.ToLong(&quality, 10)) {
        quality = defaultQuality;
        owner_->showMessage(wxS("Error when converting quality value."), wxS("Error."));
    }

    ProcessDirectory(quality);

    owner_->postNotification(wxCommandEvent(EVT_BATCH_FINISHED, batchFinishedId));
    return 0;
}

bool WorkingThread::ProcessDirectory(long quality)
{
    rotated_ = resized_ = watermarked_ = skipped_ = 0;
    placementReported_ = false;

    if (!listPictures(std::string(job_.directory.utf8_str()), job_.includeSubfolders, files_)) {
        owner_->showMessage(wxS("Directory can not be opened."), wxS("Error 01"));
        return false;
    }
    if (!job_.outputFolder.empty())
        dropOutputFolder();

    const int count = static_cast<int>(files_.size());
    const wxString question = wxS("Do you really want to process all JPG pictures in directory: \n\n") +
                              job_.directory + wxS("\n\nNumber of files about to processed: ") +
                              wxString::Format(wxS("%i"), count);
    if (!owner_->askYesNo(question, wxS("Tessaly 1.0")))
        return false;

    owner_->setGaugeRange(count);
    // Helpers prepare the next pictures while this thread writes them, in
    // list order, with the same requests in the same order as one by one.
    PicturePipeline pipeline(files_, job_, quality, job_.threads);
    for (int i = 0; i < count; ++i) {
        owner_->setTitle(job_.caption + wxString::Format(wxS(" - %d/%d"), i + 1, count));
        if (TestDestroy()) {
            // What was prepared beyond this point is thrown away unwritten.
            pipeline.cancel();
            break;
        }
        const PreparedPicture picture = pipeline.next();
        PictureReport report;
        report.path = files_[i];
        report.written = targetOf(files_[i]);
        if (picture.loaded) {
            commitPicture(picture, report);
        } else if (job_.stopAtUnreadable) {
            owner_->showMessage(wxS("File could not be opened."), wxS("Error 02"));
            return false;
        } else {
            report.outcome = PictureReport::Outcome::unreadable;
            report.reason = picture.problem;
            ++skipped_;
        }
        owner_->setGaugeValue(i + 1);
        owner_->pictureDone(report);
    }

    showStatistics();
    owner_->setGaugeValue(0);
    owner_->setTitle(job_.caption);
    return true;
}

void WorkingThread::commitPicture(const PreparedPicture& picture, PictureReport& report)
{
    // Once a batch is enough to tell the user.
    if (!picture.placementMessage.empty() && !placementReported_) {
        owner_->showMessage(picture.placementMessage, picture.placementCaption);
        placementReported_ = true;
    }
    // The trace log is written here, one picture after the other.
    if (job_.autoRotate && job_.traceLog)
        MetadataHandler(report.path.c_str(), true).readExif();

    // The stamp was just checked against the file: its size is the file's.
    report.bytesBefore = static_cast<std::uint64_t>(picture.stamp.size);
    const bool saved = job_.outputFolder.empty()
                           ? replaceFile(report.path, picture.jpeg, &report.reason)
                           : writeResultFile(report.written, picture.jpeg, job_.overwrite, report.path, report.reason);
    if (!saved) {
        report.outcome = PictureReport::Outcome::notWritten;
        owner_->showMessage(wxS("Watermarked image could not been saved."), wxMessageBoxCaptionStr);
        return;
    }
    report.bytesAfter = picture.jpeg.size();
    report.resized = picture.resized;
    report.rotated = picture.rotated;
    report.watermarked = picture.watermarked;
    // Counted only once the picture is saved: the statistics must not claim
    // work that never reached the disk.
    resized_ += picture.resized;
    rotated_ += picture.rotated;
    watermarked_ += picture.watermarked;
}

std::string WorkingThread::targetOf(const std::string& path) const
{
    if (job_.outputFolder.empty())
        return path;
    std::string folder(job_.directory.utf8_str());
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return std::string(job_.outputFolder.utf8_str()) + "/" + path.substr(folder.size());
}

void WorkingThread::dropOutputFolder()
{
    // An output folder inside the folder being processed is never input.
    const std::string output(job_.outputFolder.utf8_str());
    mkdir(output.c_str(), 0777);
    char resolved[PATH_MAX];
    if (!realpath(output.c_str(), resolved))
        return;
    const std::string inside = std::string(resolved) + "/";
    files_.erase(std::remove_if(files_.begin(), files_.end(),
                                [&](const std::string& path) {
                                    char real[PATH_MAX];
                                    return realpath(path.c_str(), real) && std::string(real).rfind(inside, 0) == 0;
                                }),
                 files_.end());
}

void WorkingThread::showStatistics()
{
    wxString text = wxString::Format(wxS("Pictures has been processed corretly.\n\nResized: %i\nRotated: "
                                         "%i\nWatermarked: %i"),
                                     resized_, rotated_, watermarked_);
    if (!job_.stopAtUnreadable)
        text += wxString::Format(wxS("\nSkipped (cannot be read): %i"), skipped_);
    owner_->showMessage(text, wxS("Processing statistics"));
}
