#pragma once

#include <string>
#include <vector>

#include <wx/thread.h>

#include "batch/ProcessingJob.h"

class BatchOwner;
struct PictureReport;
struct PreparedPicture;

// The detached worker thread of one batch. The toolkit deletes it when
// Entry returns; its destructor tells the owner. A stop request is Delete(),
// noticed once per picture, just before the picture is taken from the
// helpers that prepare it.
class WorkingThread : public wxThread {
public:
    WorkingThread(BatchOwner* owner, const ProcessingJob& job);
    ~WorkingThread() override;

    // The batch. True when it reached its statistics (after all pictures or
    // a stop), false when it ended earlier.
    bool ProcessDirectory(long quality);

    int rotatedCount() const { return rotated_; }
    int resizedCount() const { return resized_; }
    int watermarkedCount() const { return watermarked_; }

protected:
    ExitCode Entry() override;

private:
    void commitPicture(const PreparedPicture& picture, PictureReport& report);
    // Where the picture at path is written: over itself, or below the job's
    // output folder by its path relative to the folder processed.
    std::string targetOf(const std::string& path) const;
    void dropOutputFolder();
    void showStatistics();

    int rotated_ = 0;
    int resized_ = 0;
    int watermarked_ = 0;
    int skipped_ = 0;  // pictures that could not be read, when the job goes on past them
    std::vector<std::string> files_;  // UTF-8 paths, in processing order
    BatchOwner* owner_;
    ProcessingJob job_;
    bool placementReported_ = false;
};
