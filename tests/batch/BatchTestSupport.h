#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <wx/image.h>

#include "ui/MessageBoxOwner.h"
#include "batch/ProcessingJob.h"
#include "settings/SettingFields.h"

// A batch owner that records every request in order as text and answers
// the questions; hooks let a test act at a given request.
class RecordingOwner : public MessageBoxOwner {
public:
    void postNotification(const wxCommandEvent& event) override;
    void setGaugeRange(int range) override;
    void setGaugeValue(int value) override;
    void setTitle(const wxString& title) override;
    bool askYesNo(const wxString& message, const wxString& caption) override;
    void showMessage(const wxString& message, const wxString& caption) override;
    // Recorded as the plain box; the check box is ticked when tickCheckBox is.
    bool showMessageWithCheckBox(const wxString& message, const wxString& caption, const wxString& details,
                                 const wxString& checkBox) override;
    void workerEnded(WorkingThread* worker) override;

    // Runs the job on a new worker thread and waits until it has ended.
    void run(const ProcessingJob& job);

    std::vector<std::string> requests() const;
    std::vector<std::string> messages() const;  // "caption|text" of each message box

    bool answer = true;
    bool tickCheckBox = false;
    std::function<void(WorkingThread*)> onQuestion;
    std::function<void(const std::string& title)> onTitle;
    WorkingThread* worker = nullptr;

private:
    void record(const std::string& request);

    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool running_ = false;
    int threadId_ = 0;
    std::vector<std::string> requests_;
};

// Which field changeSetting changed, and how the file and the record take it.
struct ChangedSetting {
    std::string key;  // empty: there is no field of that index
    SavedAs saved = SavedAs::fixedLine;
    InRecord inRecord = InRecord::no;
};

// Moves the index-th field of forEachSetting away from its value, to one
// that is still valid and that prefs.cfg can carry.
ChangedSetting changeSetting(BatchSettings& settings, int index);

// A job with every step off, on the folder, at quality 90, its settings
// resolved as a batch resolves them (again after a change, for a test that
// drives the steps without a batch).
ProcessingJob plainJob(const std::string& folder);

// A JPEG of w x h in four flat quadrants (red, green, blue, yellow from the
// top left, clockwise), optionally with an EXIF orientation.
void writeQuadrantJpeg(const std::string& path, int w, int h, int orientation = 0);
wxImage loadImage(const std::string& path);

// The statistics box as RecordingOwner::messages gives it; with pictures
// not saved, the first of them named with its reason.
std::string statistics(int resized, int rotated, int watermarked);
std::string statisticsNotSaved(int notSaved, const std::string& first, int resized = 0);

// The tessaly-batch program under test: beside the tests' folder on
// Windows, where the build's own path means nothing to the cross-built tests.
std::string batchProgram();

// The picture-preparing helper threads of this process running now.
int runningHelpers();
