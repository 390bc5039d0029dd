#include "batch/PicturePipeline.h"

#include <pthread.h>
#include <wx/log.h>

#include "batch/PictureLoader.h"

PicturePipeline::PicturePipeline(const std::vector<std::string>& paths, const ProcessingJob& job, long quality,
                                 int threads)
    : paths_(paths), job_(job), quality_(quality)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int helpers = threads > 0 ? threads : cores;
    if (helpers == 1)
        return;
    window_ = static_cast<std::size_t>(helpers) + 2;
    for (int i = 0; i < helpers; ++i)
        helpers_.emplace_back([this] { help(); });
}

PicturePipeline::~PicturePipeline()
{
    cancel();
    for (std::thread& helper : helpers_)
        helper.join();
}

void PicturePipeline::cancel()
{
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

PreparedPicture PicturePipeline::take(std::size_t index)
{
    if (helpers_.empty())
        return preparePicture(paths_[index], job_, quality_, nullptr);
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return ready_.count(index) != 0; });
    PreparedPicture picture = std::move(ready_[index]);
    ready_.erase(index);
    bytesHeld_ -= picture.jpeg.size();
    nextTake_ = index + 1;
    changed_.notify_all();
    return picture;
}

bool PicturePipeline::claim(std::size_t& index)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || nextClaim_ >= paths_.size() || nextClaim_ - nextTake_ < window_; });
    if (cancelled_ || nextClaim_ >= paths_.size())
        return false;
    index = nextClaim_++;
    return true;
}

bool PicturePipeline::admit(std::size_t index, std::size_t bytes)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || index == nextTake_ || bytesHeld_ + bytes <= bytesBudget; });
    if (cancelled_)
        return false;
    bytesHeld_ += bytes;
    return true;
}

void PicturePipeline::help()
{
    // Named, so that a debugger, top or a test can tell the helpers apart.
    pthread_setname_np(pthread_self(), helperName);
    // Only the worker speaks to the user; the toolkit's own log boxes would
    // come from here otherwise.
    wxLogNull noToolkitMessages;
    std::size_t index = 0;
    while (claim(index)) {
        const std::size_t estimate = loadingBytesEstimate(paths_[index], job_.resize ? job_.maxSize : 0);
        if (!admit(index, estimate))
            return;
        PreparedPicture picture = preparePicture(paths_[index], job_, quality_, &cancelled_);
        std::lock_guard<std::mutex> lock(mutex_);
        // From here the picture holds only its encoded bytes.
        bytesHeld_ = bytesHeld_ - estimate + picture.jpeg.size();
        ready_[index] = std::move(picture);
        changed_.notify_all();
    }
}
