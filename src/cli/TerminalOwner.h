#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "batch/BatchOwner.h"
#include "batch/ProcessingJob.h"

// Runs batches for tessaly-batch and reports them as a command-line tool
// does: a progress line that updates in place on a terminal, one line per
// picture otherwise, every failure with its file and reason on standard
// error, and the totals at the end. The window's own texts are not shown.
class TerminalOwner : public BatchOwner {
public:
    TerminalOwner(bool quiet, bool ask);

    // Runs one batch on a new worker and waits until its thread is gone.
    void run(const ProcessingJob& job);
    // Asks the running worker to stop after the current picture (Ctrl-C).
    void stop();
    void printTotals() const;

    // Pictures not saved and folders not opened, in all batches so far.
    int failures() const { return failed_ + folderFailures_; }

    void postNotification(const wxCommandEvent&) override {}
    void setGaugeRange(int range) override;
    void setGaugeValue(int) override {}
    void setTitle(const wxString&) override {}
    void workerEnded(WorkingThread*) override {}
    void qualityUnreadable(const wxString&) override {}
    void folderUnreadable(const wxString& folder) override;
    bool confirm(const wxString& folder, int count) override;
    void placementFallback(const wxString& message, const wxString& caption) override;
    void pictureDone(const PictureReport& report) override;
    void finished(const BatchStatistics&) override {}

private:
    const bool quiet_;
    const bool ask_;
    const bool terminal_;
    std::string folder_;

    std::mutex mutex_;
    WorkingThread* worker_ = nullptr;

    int total_ = 0;
    int done_ = 0;
    std::chrono::steady_clock::time_point started_;
    int pictures_ = 0, resized_ = 0, rotated_ = 0, watermarked_ = 0, failed_ = 0, folderFailures_ = 0;
    std::uint64_t bytesBefore_ = 0, bytesAfter_ = 0;
};
