#include "cli/TerminalOwner.h"

#include <cstdio>
#include <iostream>
#include <thread>

#include <unistd.h>

#include "batch/PictureReport.h"
#include "batch/WorkingThread.h"

namespace {

std::string utf8(const wxString& text)
{
    return std::string(text.utf8_str());
}

std::string shortName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

TerminalOwner::TerminalOwner(bool quiet, bool ask) : quiet_(quiet), ask_(ask), terminal_(isatty(STDERR_FILENO))
{
}

void TerminalOwner::run(const ProcessingJob& job)
{
    folder_ = utf8(job.directory);
    // Joinable: the batch is over, thread and all, once Wait returns.
    WorkingThread worker(this, job, wxTHREAD_JOINABLE);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        worker_ = &worker;
    }
    if (worker.Run() == wxTHREAD_NO_ERROR) {
        worker.Wait();
    } else {
        std::fprintf(stderr, "tessaly-batch: cannot start the batch for %s\n", folder_.c_str());
        ++folderFailures_;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    worker_ = nullptr;
}

void TerminalOwner::stop()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (worker_)
        worker_->requestStop();
}

void TerminalOwner::setGaugeRange(int range)
{
    total_ = range;
    done_ = 0;
    started_ = std::chrono::steady_clock::now();
}

bool TerminalOwner::confirm(const wxString&, int count)
{
    if (!ask_)
        return true;
    std::fprintf(stderr, "Process %d pictures in %s? [y/N] ", count, folder_.c_str());
    std::string answer;
    if (!std::getline(std::cin, answer))
        std::fputc('\n', stderr);
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

void TerminalOwner::folderUnreadable(const wxString&)
{
    std::fprintf(stderr, "tessaly-batch: %s: cannot open the folder\n", folder_.c_str());
    ++folderFailures_;
}

void TerminalOwner::placementFallback(const wxString& message, const wxString&)
{
    std::fprintf(stderr, "tessaly-batch: %s\n", utf8(message).c_str());
}

void TerminalOwner::pictureDone(const PictureReport& report)
{
    ++done_;
    ++pictures_;
    if (report.outcome == PictureReport::Outcome::saved) {
        resized_ += report.resized;
        rotated_ += report.rotated;
        watermarked_ += report.watermarked;
        bytesBefore_ += report.bytesBefore;
        bytesAfter_ += report.bytesAfter;
    } else {
        ++failed_;
        if (terminal_ && !quiet_)
            std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "tessaly-batch: %s: %s\n", report.path.c_str(), report.reason.c_str());
    }
    if (quiet_)
        return;
    if (!terminal_) {
        if (report.outcome == PictureReport::Outcome::saved)
            std::printf("%s -> %s\n", report.path.c_str(), report.written.c_str());
        std::fflush(stdout);
        return;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    const double rate = seconds > 0 ? done_ / seconds : 0;
    const int left = rate > 0 ? static_cast<int>((total_ - done_) / rate + 0.5) : 0;
    std::fprintf(stderr, "\r\033[K%d/%d  %.1f pictures/s  %d:%02d left  %s", done_, total_, rate, left / 60,
                 left % 60, shortName(report.path).c_str());
    if (done_ == total_)
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

void TerminalOwner::printTotals() const
{
    if (quiet_)
        return;
    std::printf("%d pictures: %d saved (%d resized, %d rotated, %d watermarked), %d failed; "
                "%llu bytes before, %llu after\n",
                pictures_, pictures_ - failed_, resized_, rotated_, watermarked_, failed_,
                static_cast<unsigned long long>(bytesBefore_), static_cast<unsigned long long>(bytesAfter_));
}
