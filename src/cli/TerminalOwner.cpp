#include "cli/TerminalOwner.h"

#include <cstdio>
#include <filesystem>
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
    auto* worker = new WorkingThread(this, job);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        worker_ = worker;
    }
    if (worker->Create() != wxTHREAD_NO_ERROR || worker->Run() != wxTHREAD_NO_ERROR) {
        std::fprintf(stderr, "tessaly-batch: cannot start the batch for %s\n", folder_.c_str());
        ++folderFailures_;
        delete worker;
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    ended_.wait(lock, [this] { return worker_ == nullptr; });
    // The detached thread still runs the toolkit's end of a thread after
    // its destructor; it must be gone before the next batch or the exit.
    const std::string task = "/proc/self/task/" + std::to_string(workerTask_);
    lock.unlock();
    while (std::filesystem::exists(task))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void TerminalOwner::stop()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (worker_)
        worker_->Delete();
}

void TerminalOwner::workerEnded(WorkingThread*)
{
    std::lock_guard<std::mutex> lock(mutex_);
    workerTask_ = static_cast<int>(gettid());
    worker_ = nullptr;
    ended_.notify_all();
}

void TerminalOwner::setGaugeRange(int range)
{
    total_ = range;
    done_ = 0;
    started_ = std::chrono::steady_clock::now();
}

bool TerminalOwner::askYesNo(const wxString& message, const wxString&)
{
    if (!ask_)
        return true;
    // The question ends in the number of pictures found.
    const std::string count = utf8(message.AfterLast(' '));
    std::fprintf(stderr, "Process %s pictures in %s? [y/N] ", count.c_str(), folder_.c_str());
    std::string answer;
    if (!std::getline(std::cin, answer))
        std::fputc('\n', stderr);
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

void TerminalOwner::showMessage(const wxString&, const wxString& caption)
{
    // Pictures report themselves through pictureDone; of the window's boxes
    // only the folder that cannot be opened is news here.
    if (caption == "Error 01") {
        std::fprintf(stderr, "tessaly-batch: %s: cannot open the folder\n", folder_.c_str());
        ++folderFailures_;
    }
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
