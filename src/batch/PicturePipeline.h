#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/PreparedPicture.h"
#include "batch/ProcessingJob.h"

// Prepares the pictures of a batch ahead of the worker that writes them:
// helper threads load, fit, turn, blend and encode the next pictures while
// the worker commits the current one, and the worker takes them strictly in
// list order. With one thread there are no helpers: take() prepares the
// picture itself, as a serial batch does.
//
// Memory stays bounded whatever the folder holds: at most threads + 2
// pictures are claimed and not yet taken, and pictures are admitted while
// their estimated loading bytes fit the budget (the next one to be taken is
// always admitted, so the batch never waits for itself).
class PicturePipeline {
public:
    static constexpr std::size_t bytesBudget = std::size_t(256) << 20;
    static constexpr const char* helperName = "tessaly-prepare";

    // threads: 0 for one per core.
    PicturePipeline(const std::vector<std::string>& paths, const ProcessingJob& job, long quality, int threads);
    // Cancels and waits for every helper: none outlives the pipeline.
    ~PicturePipeline();
    PicturePipeline(const PicturePipeline&) = delete;
    PicturePipeline& operator=(const PicturePipeline&) = delete;

    // The picture at the index, which must be the one after the last taken;
    // waits until it is ready.
    PreparedPicture take(std::size_t index);
    // Stops the helpers at once: pictures in preparation are thrown away.
    void cancel();

private:
    void help();
    bool claim(std::size_t& index);
    bool admit(std::size_t index, std::size_t bytes);

    const std::vector<std::string>& paths_;
    const ProcessingJob& job_;
    const long quality_;
    std::size_t window_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::size_t, PreparedPicture> ready_;
    std::size_t nextClaim_ = 0;
    std::size_t nextTake_ = 0;
    std::size_t bytesHeld_ = 0;
    std::atomic<bool> cancelled_{false};
    std::vector<std::thread> helpers_;
};
