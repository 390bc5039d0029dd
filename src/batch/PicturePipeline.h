#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/PreparedPicture.h"
#include "batch/ProcessingJob.h"
#include "pixel/PictureFile.h"

// Hands the worker the pictures of a batch in list order, each prepared and
// checked against its file. Helper threads load, fit, turn, blend and
// encode the next pictures while the worker commits the current one; with
// one thread there are no helpers and the worker prepares each picture
// itself, through the same code.
//
// Memory stays bounded whatever the folder holds: at most four pictures a
// thread are claimed and not yet handed over, and a picture is admitted
// while its estimated loading bytes fit the budget. Progressive pictures
// hold their coefficients until their last scan, a large share of the
// batch's peak: those in preparation hold at most coefficientBudget
// together, or one picture alone. Two 24-megapixel photos (20 to 25 MiB
// each) are never prepared at once, two of 16 megapixels or a large and a
// small one are. A picture that does not fit waits aside, opened, while the
// helper goes on with a later one that does; waiting pictures are admitted
// first, in list order, as soon as they fit. A picture whose head declares
// no size counts as the most any picture may cost. The next one to be handed
// over is always admitted by bytes, so the batch never waits for itself.
class PicturePipeline {
public:
    static constexpr std::size_t bytesBudget = std::size_t(256) << 20;
    static constexpr std::size_t coefficientBudget = std::size_t(36) << 20;
    static constexpr const char* helperName = "tessaly-prepare";

    // threads: 0 for one per core.
    PicturePipeline(const std::vector<std::string>& paths, const ProcessingJob& job, long quality, int threads);
    // Cancels and waits for every helper: none outlives the pipeline.
    ~PicturePipeline();
    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    // The next picture in list order, once it is ready. When its file has
    // changed or gone since it was read, it is prepared again from what the
    // file holds now, inside the budget: prepared bytes are never written
    // over content they were not made from. Not after cancel().
    PreparedPicture next();
    // Stops the helpers at once: pictures in preparation are thrown away.
    void cancel();

    // The most pictures that were being prepared at the same moment.
    int mostPreparedAtOnce() const;

private:
    // What preparing a picture holds at its peak, and of that its
    // coefficients.
    struct Load {
        std::size_t bytes = 0;
        std::size_t coefficients = 0;
    };
    // A picture claimed, opened and planned that waits for room.
    struct Waiting {
        std::size_t index = 0;
        std::unique_ptr<PictureFile> file;
        PreparedPicture planned;
        Load load;
    };

    static Load loadOf(const PictureFile& file, const ProcessingJob& job, const PreparedPicture& planned);
    void help();
    bool prepareOne();
    // The next picture to prepare: a waiting one that now fits, admitted,
    // or else the next in the list, not yet opened (file empty). False
    // when none is left or on cancel.
    bool claim(Waiting& picture);
    // Admits the opened picture if it fits, else sets it aside.
    bool admitOrSetAside(Waiting& picture);
    bool fits(std::size_t index, const Load& load) const;
    void admit(std::size_t index, const Load& load);
    void store(std::size_t index, std::size_t estimate, PreparedPicture picture);
    // A helper met an exception (out of memory, say): the worker prepares
    // the picture itself, where whatever goes wrong is that picture's failure.
    void handBack(std::size_t index, std::size_t estimate, bool admitted);
    PreparedPicture prepareAgain(std::size_t index);

    const std::vector<std::string>& paths_;
    const ProcessingJob& job_;
    const long quality_;
    std::size_t window_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, PreparedPicture> ready_;
    std::vector<bool> handedBack_;
    std::vector<std::size_t> coefficients_;  // of each picture admitted
    std::vector<Waiting> waiting_;           // in list order
    std::size_t nextClaim_ = 0;
    std::size_t nextTake_ = 0;
    std::size_t bytesHeld_ = 0;
    int preparing_ = 0;
    std::size_t coefficientsHeld_ = 0;
    int mostPreparing_ = 0;
    std::atomic<bool> cancelled_{false};
    std::vector<std::thread> helpers_;
};
