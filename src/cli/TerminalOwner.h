#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "batch/BatchOwner.h"
#include "batch/ProcessingJob.h"

// How tessaly-batch reports: picked from its options.
struct TerminalReporting {
    bool quiet = false;  // failures only
    bool ask = true;     // confirm each folder at the terminal
    bool json = false;   // one JSON object per picture and a summary on standard output
    bool dryRun = false;  // what each picture's plan says, a line each; nothing is changed
};

// Runs batches for tessaly-batch and reports them as a command-line tool
// does: a progress line that updates in place when standard error is a
// terminal, a line per picture written on standard output when that is no
// terminal (a log of what was written), every failure with its file and
// reason on standard error, and the totals at the end. With json, standard
// output carries JSON only.
class TerminalOwner : public BatchOwner {
public:
    explicit TerminalOwner(const TerminalReporting& reporting);

    // Runs one batch on a joinable worker and waits for its end.
    void run(const ProcessingJob& job);
    // Asks the running worker to stop after the current picture (Ctrl-C).
    void stop();
    void printTotals(bool interrupted);

    // Pictures not saved and folders not opened, in all batches so far.
    int failures() const { return failed_ + folderFailures_; }
    // Whether the confirmation question waits for an answer right now.
    bool asking() const { return asking_; }
    // Whether standard output has gone (a pipe whose reader ended).
    bool outputGone() const { return outputGone_; }
    // Whether every batch so far was declined at its question, so that
    // nothing was done at all.
    bool nothingDone() const { return declined_ > 0 && pictures_ == 0 && folderFailures_ == 0; }

    void postNotification(const wxCommandEvent&) override {}
    void setGaugeRange(int range) override;
    void setGaugeValue(int) override {}
    void setTitle(const wxString&) override {}
    void workerEnded(WorkingThread*) override {}
    void folderUnreadable(const wxString& folder) override;
    void folderUnwritable(const wxString& folder, const wxString& reason) override;
    bool confirm(const wxString& folder, int count, const wxString& outputFolder) override;
    void placementFallback(const wxString& message, const wxString& caption) override;
    void charactersMissing(const wxString& characters) override;
    void textMarksEmpty(int pictures) override;
    // The dry run's words for the place and tone chosen for the picture.
    std::string markChoice(const PictureReport& report) const;
    void pictureDone(const PictureReport& report) override;
    void finished(const BatchStatistics&) override {}

private:
    void showProgress(const PictureReport& report);
    void endProgressLine();
    void output(const std::string& line);

    const TerminalReporting reporting_;
    const bool progress_;      // standard error is a terminal
    const bool logPictures_;   // standard output is not
    std::string folder_;
    std::string outputFolder_;
    // What the reports of one of the job's outputs say beyond the plan.
    struct OutputWords {
        bool watermarking = false;
        bool textMark = false;  // the watermark is a text
        bool placeChosen = false;  // the mark's place is chosen in each picture
        bool toneChosen = false;   // and its tone
        std::string format = "jpeg";
        std::string writing;    // the dry run's words for how results are written
        bool namesMade = false;  // results are named by a template or go to several outputs: the dry run says where
        bool limited = false;   // results have a size limit
    };
    static OutputWords wordsFor(const ProcessingJob& job);
    std::vector<OutputWords> outputs_{1};  // the job's own, then its more
    bool limited_ = false;   // some results have a size limit
    int overLimit_ = 0;      // saved over it at the lowest quality

    std::mutex mutex_;
    WorkingThread* worker_ = nullptr;
    std::atomic<bool> asking_{false};
    std::atomic<bool> outputGone_{false};
    bool progressLineOpen_ = false;
    std::size_t progressWidth_ = 0;  // the last progress line's characters

    int total_ = 0;
    int done_ = 0;
    std::chrono::steady_clock::time_point started_;
    int planned_ = 0;  // pictures of the batches begun
    int declined_ = 0;
    int pictures_ = 0, saved_ = 0, resized_ = 0, rotated_ = 0, watermarked_ = 0, failed_ = 0, skipped_ = 0, processed_ = 0,
        folderFailures_ = 0;
    std::uint64_t bytesBefore_ = 0, bytesAfter_ = 0;
};
