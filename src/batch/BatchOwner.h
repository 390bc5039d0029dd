#pragma once

#include <wx/event.h>
#include <wx/string.h>

class WorkingThread;
struct BatchStatistics;
struct PictureReport;

// What a running batch tells and asks whoever started it, as typed events:
// each front end puts them into its own words (the window into its fixed
// boxes, the terminal into lines). The worker calls these from its own
// thread; an implementation that owns windows must carry each request over
// to its GUI thread in the order issued. confirm holds the worker until it
// is answered.
class BatchOwner {
public:
    virtual ~BatchOwner() = default;

    // Queues a notification (EVT_BATCH_STARTED, EVT_BATCH_FINISHED).
    virtual void postNotification(const wxCommandEvent& event) = 0;
    virtual void setGaugeRange(int range) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setTitle(const wxString& title) = 0;
    // The worker object is being destroyed: forget it.
    virtual void workerEnded(WorkingThread* worker) = 0;

    // The folder cannot be opened; the batch ends.
    virtual void folderUnreadable(const wxString& folder) = 0;
    // No picture could be written where the batch would write them (the
    // folder processed, or the output folder): the batch ends before it
    // starts, instead of failing picture after picture.
    virtual void folderUnwritable(const wxString& folder, const wxString& reason) = 0;
    // Whether to process the count pictures found in the folder, writing
    // the results below the output folder when one is given.
    virtual bool confirm(const wxString& folder, int count, const wxString& outputFolder) = 0;
    // Asked once, before the first write, when the job wants it and count
    // results are already in the output folder: true replaces them all,
    // false leaves them all as they are, which is all an owner that cannot
    // ask may answer.
    virtual bool replaceExisting(const wxString&, int) { return false; }
    // Asked instead when some of the files there are no earlier results of
    // these pictures (others of them): true puts this batch's results below
    // subfolder; false leaves every file there as it is, skipping those
    // pictures, which is all an owner that cannot ask may answer.
    virtual bool useSubfolder(const wxString&, int /*earlier*/, int /*others*/, const wxString& /*subfolder*/)
    {
        return false;
    }
    // The placement code is none of 1..9: the watermark goes to the centre.
    // Once a batch, with the blend's own words for it.
    virtual void placementFallback(const wxString& message, const wxString& caption) = 0;
    // The text mark's fonts have no letters for these characters, which
    // were left out: once a batch, before it finishes.
    virtual void charactersMissing(const wxString& /*characters*/) {}
    // So many pictures had none of the text mark's tokens and were not
    // marked: once a batch, before it finishes.
    virtual void textMarksEmpty(int /*pictures*/) {}
    // One picture's turn is over: saved, unreadable or not written. Comes
    // before its gauge request; when the picture was unreadable and the job
    // stops there, it is the batch's last word.
    virtual void pictureDone(const PictureReport& report) = 0;
    // The batch reached its end, after its last picture or a stop.
    virtual void finished(const BatchStatistics& statistics) = 0;
};
