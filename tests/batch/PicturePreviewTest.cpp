#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/BlockingImageHandler.h"
#include "batch/PicturePreview.h"

namespace {

// The preview's ready calls, counted, and a wait for the next ones.
struct Readiness {
    std::mutex mutex;
    std::condition_variable changed;
    int ready = 0;

    std::function<void()> call()
    {
        return [this] {
            std::lock_guard<std::mutex> lock(mutex);
            ++ready;
            changed.notify_all();
        };
    }
    // False when none came by the deadline.
    bool wait(std::unique_lock<std::mutex>& lock, std::chrono::steady_clock::time_point deadline)
    {
        const bool came = changed.wait_until(lock, deadline, [this] { return ready > 0; });
        ready = 0;
        return came;
    }
};

// The preview thread shapes pictures as the batch does, hands over the
// newest one after a burst of requests, and writes nothing.
TEST(PicturePreview, ShowsThePictureTheBatchWouldWrite)
{
    TempDir dir;
    writeQuadrantJpeg(dir.file("a.jpg"), 1000, 500, 6);
    writeQuadrantJpeg(dir.file("b.jpg"), 400, 300);
    const std::string before = readFile(dir.file("a.jpg")) + readFile(dir.file("b.jpg"));

    Readiness readiness;
    PicturePreview preview(readiness.call());
    static const struct {
        bool inFolder;
        int index;
        const char* name;
        int storedWidth, storedHeight, width, height, shownWidth, shownHeight;
    } cases[] = {{true, 0, "a.jpg", 1000, 500, 250, 500, 50, 100},
                 {true, 3, "b.jpg", 400, 300, 400, 300, 100, 75},
                 {false, 0, "", 1200, 800, 500, 333, 100, 66}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        PreviewRequest request;
        request.folder = c.inFolder ? dir.path() : std::string();
        request.settings.width = 500;
        request.areaWidth = request.areaHeight = 100;
        // A burst: every request but the last is superseded.
        for (int i = 0; i <= 8; ++i) {
            request.index = c.index + 2 * (i - 8);
            preview.show(request);
        }
        PreviewPicture shown;
        std::unique_lock<std::mutex> lock(readiness.mutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!(preview.take(shown) && shown.path == (c.inFolder ? dir.file(c.name) : std::string())))
            ASSERT_TRUE(readiness.wait(lock, deadline)) << "no picture came";
        EXPECT_EQ(shown.sample, !c.inFolder);
        EXPECT_EQ(shown.storedWidth, c.storedWidth);
        EXPECT_EQ(shown.storedHeight, c.storedHeight);
        EXPECT_EQ(shown.width, c.width);
        EXPECT_EQ(shown.height, c.height);
        EXPECT_EQ(shown.image.GetWidth(), c.shownWidth);
        EXPECT_EQ(shown.image.GetHeight(), c.shownHeight);
    }
    EXPECT_EQ(readFile(dir.file("a.jpg")) + readFile(dir.file("b.jpg")), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// What the preview's thread throws outside the decode (here the watermark's
// loading runs out of memory) costs that preview only: the next one comes.
TEST(PicturePreview, GoesOnPastAnException)
{
    TempDir dir;
    writeQuadrantJpeg(dir.file("a.jpg"), 400, 300);
    BlockingImageHandler::install();
    BlockingImageHandler::writeThrowingPicture(dir.file("mark.tif"), 40, 30);
    Readiness readiness;
    PicturePreview preview(readiness.call());
    PreviewRequest request;
    request.folder = dir.path();
    request.settings.waterImgFile = dir.file("mark.tif");
    for (const bool marked : {true, false}) {
        SCOPED_TRACE(marked);
        request.settings.useWatermark = marked;
        preview.show(request);
        PreviewPicture shown;
        std::unique_lock<std::mutex> lock(readiness.mutex);
        ASSERT_TRUE(readiness.wait(lock, std::chrono::steady_clock::now() + std::chrono::seconds(30)))
            << "no picture came";
        ASSERT_TRUE(preview.take(shown));
        EXPECT_EQ(shown.image.IsOk(), !marked);
    }
    BlockingImageHandler::uninstall();
}

}  // namespace
