#include "batch/PicturePipeline.h"

#include <algorithm>

#include <wx/log.h>

#include "pixel/PictureFile.h"
#include "platform/ThreadName.h"

PicturePipeline::PicturePipeline(const std::vector<std::string>& paths, const ProcessingJob& job, long quality,
                                 int threads)
    : paths_(paths), job_(job), quality_(quality), handedBack_(paths.size(), false), coefficients_(paths.size(), 0)
{
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int helpers = threads > 0 ? threads : cores;
    // Room for a few ready pictures (encoded bytes only) per helper, so
    // that helpers go on while the worker waits for the disk.
    window_ = static_cast<std::size_t>(helpers) * 4;
    if (helpers == 1)
        return;
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

int PicturePipeline::mostPreparedAtOnce() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return mostPreparing_;
}

PreparedPicture PicturePipeline::next()
{
    if (helpers_.empty())
        prepareOne();
    std::unique_lock<std::mutex> lock(mutex_);
    const std::size_t index = nextTake_;
    changed_.wait(lock, [&] { return ready_.count(index) != 0 || handedBack_[index]; });
    PreparedPicture picture;
    if (handedBack_[index]) {
        lock.unlock();
        picture = prepareAgain(index);
    } else {
        picture = std::move(ready_[index]);
        ready_.erase(index);
        bytesHeld_ -= picture.bytes.size();
        lock.unlock();
        // Prepared ahead, from a file that has changed or gone since.
        if (!(picture.stamp == fileStamp(paths_[index])))
            picture = prepareAgain(index);
    }
    lock.lock();
    nextTake_ = index + 1;
    changed_.notify_all();
    return picture;
}

// At the size its plans decode it at, once for all outputs; nothing beyond
// its open file when none decodes it.
PicturePipeline::Load PicturePipeline::loadOf(const PictureFile& file, const ProcessingJob& job,
                                              const PreparedPicture& planned)
{
    FittedSize target{0, 0};
    if (!sharedDecodeTarget(job, planned, target))
        return {};
    return {file.loadingBytes(target), file.coefficientBytes(target)};
}

PreparedPicture PicturePipeline::prepareAgain(std::size_t index)
{
    std::size_t estimate = 0;
    PreparedPicture picture = preparedOrFailed([&](PreparedPicture& prepared) {
        PictureFile file(paths_[index]);
        planPrepared(file, job_, prepared);
        estimate = loadOf(file, job_, prepared).bytes;
        {
            // As the next to be handed over it needs no admission, but the
            // helpers must see what it holds.
            std::lock_guard<std::mutex> lock(mutex_);
            bytesHeld_ += estimate;
        }
        preparePlanned(file, job_, quality_, nullptr, prepared);
    });
    std::lock_guard<std::mutex> lock(mutex_);
    bytesHeld_ -= estimate;
    changed_.notify_all();
    return picture;
}

bool PicturePipeline::prepareOne()
{
    Waiting picture;
    if (!claim(picture))
        return false;
    bool admitted = static_cast<bool>(picture.file);
    try {
        if (!admitted) {
            picture.file = std::make_unique<PictureFile>(paths_[picture.index]);
            planPrepared(*picture.file, job_, picture.planned);
            picture.load = loadOf(*picture.file, job_, picture.planned);
            if (!admitOrSetAside(picture))
                return true;
            admitted = true;
        }
        preparePlanned(*picture.file, job_, quality_, &cancelled_, picture.planned);
        store(picture.index, picture.load.bytes, std::move(picture.planned));
    } catch (const std::exception&) {
        handBack(picture.index, picture.load.bytes, admitted);
    }
    return true;
}

void PicturePipeline::handBack(std::size_t index, std::size_t estimate, bool admitted)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (admitted) {
        bytesHeld_ -= estimate;
        --preparing_;
        coefficientsHeld_ -= coefficients_[index];
    }
    handedBack_[index] = true;
    changed_.notify_all();
}

bool PicturePipeline::claim(Waiting& picture)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (cancelled_)
            return false;
        for (auto it = waiting_.begin(); it != waiting_.end(); ++it) {
            if (fits(it->index, it->load)) {
                picture = std::move(*it);
                waiting_.erase(it);
                admit(picture.index, picture.load);
                return true;
            }
        }
        if (nextClaim_ < paths_.size() && nextClaim_ - nextTake_ < window_) {
            picture.index = nextClaim_++;
            return true;
        }
        // A picture another helper has claimed and not yet admitted is
        // that helper's to wait for.
        if (nextClaim_ >= paths_.size() && waiting_.empty())
            return false;
        changed_.wait(lock);
    }
}

bool PicturePipeline::admitOrSetAside(Waiting& picture)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fits(picture.index, picture.load)) {
        admit(picture.index, picture.load);
        return true;
    }
    auto at = waiting_.begin();
    while (at != waiting_.end() && at->index < picture.index)
        ++at;
    waiting_.insert(at, std::move(picture));
    return false;
}

bool PicturePipeline::fits(std::size_t index, const Load& load) const
{
    // The next to be handed over goes past the bytes budget, whose bytes may
    // be held by pictures waiting for it, but not past the coefficients of
    // pictures in preparation, which end on their own.
    return (index == nextTake_ || bytesHeld_ + load.bytes <= bytesBudget) &&
           (coefficientsHeld_ == 0 || coefficientsHeld_ + load.coefficients <= coefficientBudget);
}

void PicturePipeline::admit(std::size_t index, const Load& load)
{
    bytesHeld_ += load.bytes;
    mostPreparing_ = std::max(mostPreparing_, ++preparing_);
    coefficients_[index] = load.coefficients;
    coefficientsHeld_ += load.coefficients;
}

void PicturePipeline::store(std::size_t index, std::size_t estimate, PreparedPicture picture)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t bytes = picture.bytes.size();
    ready_[index] = std::move(picture);
    // From here the picture holds only its encoded bytes.
    bytesHeld_ = bytesHeld_ - estimate + bytes;
    --preparing_;
    coefficientsHeld_ -= coefficients_[index];
    changed_.notify_all();
}

void PicturePipeline::help()
{
    nameThisThread(helperName);
    // Only the worker speaks to the user; the toolkit's own log boxes would
    // come from here otherwise.
    wxLogNull noToolkitMessages;
    while (prepareOne()) {
    }
}
