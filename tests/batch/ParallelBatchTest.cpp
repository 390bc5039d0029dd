// The parallel batch against the serial one: the same requests in the same
// order and the same bytes in every file, whatever the helpers do.
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/BlockingImageHandler.h"
#include "batch/PicturePipeline.h"
#include "batch/TestJpeg.h"
#include "pixel/PictureFile.h"

namespace fs = std::filesystem;

namespace {

// A JPEG whose head declares no size: more segments than the head reader
// walks. It counts as the most a picture may cost, and its plan refuses it
// undecoded, though libjpeg would decode it.
Bytes unsizedJpeg()
{
    Bytes bytes = encodeJpeg(shadedPicture(300, 200), false);
    for (int i = 0; i < 1100; ++i)
        bytes.insert(bytes.begin() + 2, {0xFF, 0xFE, 0x00, 0x02});
    return bytes;
}

class ParallelBatch : public testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.path()};

    // Runs the job on a copy of "album" and gives its requests, with the
    // copy's folder name made neutral.
    std::vector<std::string> runOnCopy(const std::string& copy, ProcessingJob job, int threads)
    {
        fs::copy(dir.file("album"), dir.file(copy), fs::copy_options::recursive);
        job.directory = wxString::FromUTF8(dir.file(copy));
        job.threads = threads;
        RecordingOwner owner;
        owner.run(job);
        std::vector<std::string> requests = owner.requests();
        for (std::string& r : requests)
            r = std::regex_replace(r, std::regex(dir.file(copy)), "FOLDER");
        return requests;
    }
};

TEST_F(ParallelBatch, SameRequestsAndBytesAsOneByOne)
{
    fs::create_directory(dir.file("album"));
    static const struct {
        int width, height, orientation;
    } pictures[] = {{1200, 800, 6}, {640, 480, 0}, {3000, 2000, 3}, {801, 600, 8}, {500, 1400, 6},
                    {2400, 1600, 0}, {820, 820, 5}, {1600, 2400, 1}, {300, 200, 0}, {4000, 2500, 6}};
    int n = 0;
    for (const auto& p : pictures)
        writeQuadrantJpeg(dir.file("album/p" + std::to_string(n++) + ".jpg"), p.width, p.height, p.orientation);
    // Wide enough for the progressive decoder's reduced scale.
    writeFile(dir.file("album/progressive.jpg"), encodeJpeg(shadedPicture(2400, 1000), true));
    writeFile(dir.file("album/cmyk.jpg"), encodeJpeg(shadedPicture(1000, 700), false, StoredAs::cmyk));
    ASSERT_TRUE(shadedPicture(900, 900).SaveFile(wxString::FromUTF8(dir.file("album/png.jpg")), wxBITMAP_TYPE_PNG));

    wxImage mark = shadedPicture(120, 40);
    mark.InitAlpha();
    ProcessingJob job = plainJob("");
    job.settings.resize = job.settings.rotate = job.settings.useWatermark = true;
    job.watermarkImage = &mark;
    job.settings.wmPlacement = 42;  // reported once, whichever helper meets it first
    const std::vector<std::string> serial = runOnCopy("serial", job, 1);
    const std::vector<std::string> parallel = runOnCopy("parallel", job, 4);
    EXPECT_EQ(parallel, serial);
    EXPECT_EQ(std::count(serial.begin(), serial.end(),
                         "message Message|Wrong Water Image placement. Center placement will be used."),
              1);
    for (const auto& entry : fs::directory_iterator(dir.file("serial"))) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        EXPECT_TRUE(readFile(dir.file("parallel/" + name)) == readFile(entry.path().string()));
        EXPECT_TRUE(readFile(dir.file("album/" + name)) != readFile(entry.path().string())) << "not rewritten";
    }
}

// A picture that cannot be loaded ends the batch at its turn, as one by
// one: the pictures after it stay as they are, though helpers may have
// prepared them, and no helper is left running.
TEST_F(ParallelBatch, LoadFailureAtTheFifthOfTwenty)
{
    fs::create_directory(dir.file("album"));
    for (int i = 1; i <= 20; ++i)
        writeQuadrantJpeg(dir.file("album/p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg"), 1000,
                          500);
    const std::string whole = readFile(dir.file("album/p05.jpg"));
    writeFile(dir.file("album/p05.jpg"), Bytes(whole.begin(), whole.begin() + whole.size() / 2));

    ProcessingJob job = plainJob("");
    job.settings.resize = true;
    // Two helpers, so that more pictures than they may claim follow the
    // failure: they must be cancelled, not waited for.
    const std::vector<std::string> requests = runOnCopy("run", job, 2);
    ASSERT_GE(requests.size(), 3u);
    EXPECT_EQ(requests[requests.size() - 3], "title Tessaly 1.1 - 5/20");
    EXPECT_EQ(requests[requests.size() - 2], "message Error 02|File could not be opened.");
    EXPECT_EQ(requests.back(), "FINISHED 0");
    for (int i = 1; i <= 20; ++i) {
        const std::string name = "p" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".jpg";
        SCOPED_TRACE(name);
        EXPECT_EQ(readFile(dir.file("run/" + name)) == readFile(dir.file("album/" + name)), i >= 5);
    }
    EXPECT_EQ(runningHelpers(), 0) << "a helper outlived the batch";
}

// An exception while a helper prepares a picture (out of memory, say) is
// that picture's failure: the batch goes on past it as past any unreadable
// picture, and the program goes on.
TEST_F(ParallelBatch, AnExceptionIsItsPicturesFailure)
{
    fs::create_directory(dir.file("album"));
    for (int i = 1; i <= 6; ++i)
        writeQuadrantJpeg(dir.file("album/p0" + std::to_string(i) + ".jpg"), 1000, 500);
    BlockingImageHandler::install();
    BlockingImageHandler::writeThrowingPicture(dir.file("album/p03.jpg"), 1000, 500);
    ProcessingJob job = plainJob("");
    job.settings.resize = true;
    job.settings.skipUnreadable = true;
    const std::vector<std::string> requests = runOnCopy("run", job, 2);
    BlockingImageHandler::uninstall();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const std::string& r) { return r.find("Skipped (cannot be read): 1") != std::string::npos; }),
              1);
    for (int i = 1; i <= 6; ++i) {
        const std::string name = "p0" + std::to_string(i) + ".jpg";
        EXPECT_EQ(readFile(dir.file("run/" + name)) == readFile(dir.file("album/" + name)), i == 3) << name;
    }
}

// The budget holds whatever the heads say, by the plan made from the head
// before admission: a picture over the whole budget still gets its turn,
// alone; one whose head declares no size is refused by its plan undecoded.
TEST_F(ParallelBatch, TheBudgetHoldsForUnknownAndHugePictures)
{
    std::vector<std::string> paths = {dir.file("huge.jpg"), dir.file("huge2.jpg")};
    // 7000 x 7000 without resizing: about 294 MB, over the 256 MiB budget.
    const Bytes huge = encodeJpeg(wxImage(7000, 7000, true), false, StoredAs::grey);
    const Bytes unknown = unsizedJpeg();
    for (int i = 0; i < 8; ++i)
        paths.push_back(dir.file("unknown" + std::to_string(i) + ".jpg"));
    for (const std::string& path : paths)
        writeFile(path, path.find("huge") != std::string::npos ? huge : unknown);
    const ProcessingJob job = plainJob(dir.path());
    {
        const std::vector<std::string> both(paths.begin(), paths.begin() + 2);
        PicturePipeline pipeline(both, job, 90, 2);
        for (const std::string& path : both)
            EXPECT_TRUE(pipeline.next().loaded) << path;
        EXPECT_EQ(pipeline.mostPreparedAtOnce(), 1);
    }
    PicturePipeline pipeline(paths, job, 90, 2);
    for (const std::string& path : paths)
        EXPECT_EQ(pipeline.next().loaded, path.find("huge") != std::string::npos) << path;
}

// A picture that may not be prepared beside the one in preparation waits
// aside, and the helper prepares the next one that may, rather than wait:
// here while the first picture is held inside its loading.
TEST_F(ParallelBatch, AHelperGoesOnPastAPictureThatMustWait)
{
    const std::vector<std::string> paths = {dir.file("held.jpg"), dir.file("unsized.jpg"), dir.file("small.jpg")};
    BlockingImageHandler* held = BlockingImageHandler::install();
    BlockingImageHandler::writeBlockingJpeg(paths[0], 300, 200);
    writeFile(paths[1], unsizedJpeg());
    writeFile(paths[2], encodeJpeg(shadedPicture(300, 200), false));
    const ProcessingJob job = plainJob(dir.path());
    bool beside = false;
    {
        PicturePipeline pipeline(paths, job, 90, 2);
        EXPECT_TRUE(held->waitUntilEntered());
        // The second helper starts when the machine lets it: on a loaded
        // one, long after the first.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!(beside = pipeline.mostPreparedAtOnce() == 2) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        held->release();
        EXPECT_TRUE(pipeline.next().loaded);
        EXPECT_FALSE(pipeline.next().loaded);
        EXPECT_TRUE(pipeline.next().loaded);
    }
    BlockingImageHandler::uninstall();
    EXPECT_TRUE(beside);
}

// A progressive 24-megapixel photo holds its coefficients to its last scan
// (of a block, what the decoded size shows, and the marks of the others):
// two of them are more than the pipeline lets be prepared at once.
TEST_F(ParallelBatch, LargeProgressivePicturesArePreparedOneAtATime)
{
    writeFile(dir.file("baseline.jpg"), encodeJpeg(wxImage(6000, 4000, true), false));
    const Bytes progressive = encodeJpeg(wxImage(6000, 4000, true), true);
    // Decoded at half size for a result of 1500 x 1000: 16 luma and 64 chroma
    // coefficients a block, a byte each and two for the first, and a bit for
    // each of the luma's 48 others.
    const FittedSize half{1500, 1000};
    EXPECT_EQ(PictureFile(dir.file("baseline.jpg")).coefficientBytes(half), 0u);
    writeFile(dir.file("p1.jpg"), progressive);
    EXPECT_EQ(PictureFile(dir.file("p1.jpg")).coefficientBytes(half),
              std::size_t(750 * 500) * (16 + 1 + 6) + 2 * std::size_t(375 * 250) * (64 + 1));
    std::vector<std::string> paths;
    for (int i = 1; i <= 4; ++i) {
        paths.push_back(dir.file("p" + std::to_string(i) + ".jpg"));
        writeFile(paths.back(), progressive);
    }
    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = true;
    job.settings.width = 1500;
    job.resolved = resolveSettings(job.settings);
    PicturePipeline pipeline(paths, job, 90, 2);
    for (const std::string& path : paths)
        EXPECT_TRUE(pipeline.next().loaded) << path;
    EXPECT_EQ(pipeline.mostPreparedAtOnce(), 1);
}

// A progressive picture whose coefficients alone pass the budget is
// prepared alone, never left waiting for room it cannot have (the batch
// would hang: CTest's time limit fails this test then).
TEST_F(ParallelBatch, AProgressivePictureBeyondTheBudgetIsPreparedAlone)
{
    const std::vector<std::string> paths = {dir.file("small.jpg"), dir.file("wide.jpg")};
    writeFile(paths[0], encodeJpeg(wxImage(64, 64, true), true, StoredAs::ycc444));
    writeFile(paths[1], encodeJpeg(wxImage(4096, 3200, true), true, StoredAs::ycc444));
    ASSERT_GT(PictureFile(paths[1]).coefficientBytes({4096, 3200}), PicturePipeline::coefficientBudget);
    const ProcessingJob job = plainJob(dir.path());
    PicturePipeline pipeline(paths, job, 90, 2);
    for (const std::string& path : paths)
        EXPECT_TRUE(pipeline.next().loaded) << path;
}

}  // namespace
