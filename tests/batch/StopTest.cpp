#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/BlockingImageHandler.h"
#include "batch/WorkingThread.h"

namespace {

// A stop requested while the third of ten pictures is being processed: the
// third is still written, no fourth is loaded, the statistics count three.
TEST(Stop, WhileTheThirdOfTenIsProcessed)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    for (int i = 1; i <= 10; ++i) {
        const std::string path = dir.file((i < 10 ? "p0" : "p") + std::to_string(i) + ".jpg");
        if (i == 3)
            BlockingImageHandler::writeBlockingJpeg(path, 1000, 500);
        else
            writeQuadrantJpeg(path, 1000, 500);
    }
    const std::string fourth = readFile(dir.file("p04.jpg"));

    BlockingImageHandler* handler = BlockingImageHandler::install();
    RecordingOwner owner;
    ProcessingJob job = plainJob(dir.path());
    job.resize = true;
    std::thread stopper([&] {
        ASSERT_TRUE(handler->waitUntilEntered());
        owner.worker->Delete();
        handler->release();
    });
    owner.run(job);
    stopper.join();
    BlockingImageHandler::uninstall();

    EXPECT_EQ(loadImage(dir.file("p03.jpg")).GetWidth(), 800);
    EXPECT_TRUE(readFile(dir.file("p04.jpg")) == fourth) << "file changed";
    const std::vector<std::string> r = owner.requests();
    ASSERT_GE(r.size(), 6u);
    EXPECT_EQ(r[r.size() - 6], "gauge 3");
    EXPECT_EQ(r[r.size() - 5], "title Tessaly 1.1 - 4/10");
    EXPECT_EQ(r[r.size() - 4],
              "message Processing statistics|Pictures has been processed corretly.\n\nResized: 3\nRotated: "
              "0\nWatermarked: 0");
    EXPECT_EQ(r[r.size() - 3], "gauge 0");
    EXPECT_EQ(r[r.size() - 2], "title Tessaly 1.1");
    EXPECT_EQ(r.back(), "FINISHED 0");
}

}  // namespace
