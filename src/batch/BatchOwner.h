#pragma once

#include <wx/event.h>
#include <wx/string.h>

class WorkingThread;
struct PictureReport;

// What a running batch asks of whoever started it. The worker calls these
// from its own thread; an implementation that owns windows must carry each
// request over to its GUI thread in the order issued. The two questions
// hold the worker until the user has answered.
class BatchOwner {
public:
    virtual ~BatchOwner() = default;

    // Queues a notification (EVT_BATCH_STARTED, EVT_BATCH_FINISHED).
    virtual void postNotification(const wxCommandEvent& event) = 0;
    virtual void setGaugeRange(int range) = 0;
    virtual void setGaugeValue(int value) = 0;
    virtual void setTitle(const wxString& title) = 0;
    // A modal Yes/No question; true only for Yes.
    virtual bool askYesNo(const wxString& message, const wxString& caption) = 0;
    // A modal box with an OK button.
    virtual void showMessage(const wxString& message, const wxString& caption) = 0;
    // The worker object is being destroyed: forget it.
    virtual void workerEnded(WorkingThread* worker) = 0;
    // One picture's turn is over (after its gauge request). Optional.
    virtual void pictureDone(const PictureReport&) {}
};
