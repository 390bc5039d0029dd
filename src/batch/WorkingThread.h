#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <wx/thread.h>

#include "batch/BatchStatistics.h"
#include "batch/ProcessingJob.h"

class BatchOwner;
struct PictureReport;
struct PicturePlan;
struct PreparedPicture;
class ResultNames;

// The worker thread of one batch: detached for the window, which the
// toolkit deletes when Entry returns, or joinable for the terminal, which
// waits for it and deletes it. Its destructor tells the owner. A stop
// request is Delete() or requestStop(), noticed once per picture, just
// before the picture is taken from the helpers that prepare it.
class WorkingThread : public wxThread {
public:
    WorkingThread(BatchOwner* owner, const ProcessingJob& job, wxThreadKind kind = wxTHREAD_DETACHED);
    ~WorkingThread() override;

    // Stops after the current picture; from any thread, at any time.
    void requestStop();

    // The batch. True when it reached its statistics (after all pictures or
    // a stop), false when it ended earlier.
    bool ProcessDirectory(long quality);

protected:
    ExitCode Entry() override;

private:
    // Asks the owner once whether results already there are replaced or kept.
    void decideAboutExisting();
    // Of the files already where the results go, how many are earlier
    // results of these pictures, and how many are not.
    void countExisting(const std::string& output, int& earlier, int& others) const;
    // Reports the picture prepared for one of the job's outputs (0 the
    // job's own, k + 1 its more[k]) and writes it; true when it ends the batch.
    bool takePicture(const PreparedPicture& picture, const ProcessingJob& job, int output, const std::string& path);
    void commitPicture(const PreparedPicture& picture, const ProcessingJob& job, PictureReport& report);
    void countSaved(const PictureReport& report);
    // Adds the characters of the picture's mark text that the fonts lack.
    // Gathers what the text mark lacked: letters of its fonts, or any value at all.
    void noteTextMarkGaps(const ProcessingJob& job, const PicturePlan& plan);
    bool stopRequested();

    BatchStatistics statistics_;
    std::atomic<bool> stopRequested_{false};
    std::vector<std::string> files_;  // UTF-8 paths, in processing order
    std::vector<std::unique_ptr<ResultNames>> names_;  // their results' names, for each output
    std::set<std::string> originals_;  // where the pictures are, which no result may replace
    BatchOwner* owner_;
    ProcessingJob job_;
    bool placementReported_ = false;
    std::string missingCharacters_;  // the text mark's, gathered over the batch
    int emptyMarks_ = 0;             // pictures whose text mark came out empty
};
