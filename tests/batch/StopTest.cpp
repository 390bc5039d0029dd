#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/WorkingThread.h"

namespace {

// A stop requested while the third of ten pictures is being processed: the
// third is still written, no fourth, although helpers have most likely
// prepared it already; the statistics count three. The stop comes from
// another thread once the fourth picture's title is set, just before its
// stop check: the same moment, as far as the worker can tell.
TEST(Stop, WhileTheThirdOfTenIsProcessed)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    for (int i = 1; i <= 10; ++i)
        writeQuadrantJpeg(dir.file((i < 10 ? "p0" : "p") + std::to_string(i) + ".jpg"), 1000, 500);
    std::vector<std::string> before;
    for (int i = 4; i <= 10; ++i)
        before.push_back(readFile(dir.file((i < 10 ? "p0" : "p") + std::to_string(i) + ".jpg")));

    RecordingOwner owner;
    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = true;
    job.threads = 4;
    int helpersDuring = 0;
    owner.onTitle = [&](const std::string& title) {
        if (title != "Tessaly 1.1 - 4/10")
            return;
        helpersDuring = runningHelpers();
        std::thread([&owner] { owner.worker->requestStop(); }).join();
    };
    owner.run(job);

    EXPECT_EQ(loadImage(dir.file("p03.jpg")).GetWidth(), 800);
    for (int i = 4; i <= 10; ++i)
        EXPECT_TRUE(readFile(dir.file((i < 10 ? "p0" : "p") + std::to_string(i) + ".jpg")) == before[i - 4])
            << "picture " << i << " written after the stop";
    const std::vector<std::string> r = owner.requests();
    ASSERT_GE(r.size(), 6u);
    EXPECT_EQ(r[r.size() - 6], "gauge 3");
    EXPECT_EQ(r[r.size() - 5], "title Tessaly 1.1 - 4/10");
    EXPECT_EQ(r[r.size() - 4], "message " + statistics(3, 0, 0));
    EXPECT_EQ(r[r.size() - 3], "gauge 0");
    EXPECT_EQ(r[r.size() - 2], "title Tessaly 1.1");
    EXPECT_EQ(r.back(), "FINISHED 0");
    // Helpers that ran out of pictures have ended already: how many are
    // left depends on the machine's load, but never more than asked for.
    EXPECT_LE(helpersDuring, 4);
    EXPECT_EQ(runningHelpers(), 0) << "a helper outlived the batch";
}

}  // namespace
