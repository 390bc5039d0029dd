#include "batch/WorkingThread.h"

#include <memory>

#include <wx/log.h>
#include <wx/msgdlg.h>

#include "batch/BatchEvents.h"
#include "batch/BatchOwner.h"
#include "batch/FitInBox.h"
#include "batch/JpegReplacer.h"
#include "batch/Orientation.h"
#include "batch/PictureList.h"
#include "batch/PictureLoader.h"
#include "batch/Watermark.h"
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
    rotated_ = resized_ = watermarked_ = 0;
    placementReported_ = false;

    if (!listPictures(std::string(job_.directory.utf8_str()), job_.includeSubfolders, files_)) {
        owner_->showMessage(wxS("Directory can not be opened."), wxS("Error 01"));
        return false;
    }

    const int count = static_cast<int>(files_.size());
    const wxString question = wxS("Do you really want to process all JPG pictures in directory: \n\n") +
                              job_.directory + wxS("\n\nNumber of files about to processed: ") +
                              wxString::Format(wxS("%i"), count);
    if (!owner_->askYesNo(question, wxS("Tessaly 1.0")))
        return false;

    owner_->setGaugeRange(count);
    for (int i = 0; i < count; ++i) {
        owner_->setTitle(job_.caption + wxString::Format(wxS(" - %d/%d"), i + 1, count));
        if (TestDestroy())
            break;
        LoadedPicture picture;
        if (!loadPicture(files_[i], job_.resize ? job_.maxSize : 0, picture)) {
            owner_->showMessage(wxS("File could not be opened."), wxS("Error 02"));
            return false;
        }
        processPicture(files_[i], picture, quality);
        owner_->setGaugeValue(i + 1);
    }

    showStatistics();
    owner_->setGaugeValue(0);
    owner_->setTitle(job_.caption);
    return true;
}

void WorkingThread::processPicture(const std::string& path, LoadedPicture& loaded, long quality)
{
    // Counted only once the picture is saved: the statistics must not claim
    // work that never reached the disk.
    bool resized = false, rotated = false, watermarked = false;
    wxImage& picture = loaded.image;
    const int box = job_.maxSize;
    if (job_.resize && (loaded.storedWidth > box || loaded.storedHeight > box)) {
        resized = true;
        // The size comes from the stored picture, whatever scale it was decoded at.
        const FittedSize size = fitInBox(loaded.storedWidth, loaded.storedHeight, box, box);
        if (!size.positive())
            picture = wxImage();  // an empty box: nothing can be written
        else if (size.width != picture.GetWidth() || size.height != picture.GetHeight())
            picture = picture.Scale(static_cast<int>(size.width), static_cast<int>(size.height),
                                    wxIMAGE_QUALITY_HIGH);
    }

    if (job_.autoRotate) {
        auto handler = std::make_unique<MetadataHandler>(path.c_str(), true);
        rotated = handler->readExif() && orientUpright(picture, handler->orientation());
    }

    if (job_.watermark) {
        watermarked = true;
        if (job_.watermarkImage)
            ApplyWatermark(picture, *job_.watermarkImage, job_.alpha, job_.placement,
                           [this](const wxString& message, const wxString& caption) {
                               // Once a batch is enough to tell the user.
                               if (!placementReported_)
                                   owner_->showMessage(message, caption);
                               placementReported_ = true;
                           });
    }

    if (!replaceWithJpeg(picture, path, quality, loaded.iccProfile)) {
        owner_->showMessage(wxS("Watermarked image could not been saved."), wxMessageBoxCaptionStr);
        return;
    }
    resized_ += resized;
    rotated_ += rotated;
    watermarked_ += watermarked;
}

void WorkingThread::showStatistics()
{
    owner_->showMessage(wxString::Format(wxS("Pictures has been processed corretly.\n\nResized: %i\nRotated: "
                                             "%i\nWatermarked: %i"),
                                         resized_, rotated_, watermarked_),
                        wxS("Processing statistics"));
}
