#include <csignal>
#include <filesystem>
#include <thread>
#ifndef _WIN32
// File modes and size limits: tests/windows/skipped.txt names the tests.
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>
#include <wx/msgdlg.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "platform/PictureList.h"
#include "pixel/PictureLoader.h"
#include "batch/WorkingThread.h"
#include "jpeg/MetadataHandler.h"

namespace fs = std::filesystem;

namespace {

class WorkingThreadTest : public testing::Test {
protected:
    TempDir dir;
    // MetadataHandler writes its log into the working directory.
    WorkingDirectory cwd{dir.path()};
    RecordingOwner owner;

    std::string picture(const std::string& name) const { return dir.file(name); }
};

TEST_F(WorkingThreadTest, FitsIntoTheBox)
{
    static const struct {
        int width, height, box;
        int expectedWidth, expectedHeight;
        bool resized;
    } cases[] = {
        {5000, 3333, 1000, 1000, 666, true},
        {4000, 3000, 800, 800, 600, true},
        {3000, 4000, 800, 600, 800, true},
        {801, 600, 800, 800, 599, true},
        {4352, 2448, 800, 800, 450, true},  // a floating-point factor gives 799 x 449
        {640, 480, 800, 640, 480, false},
        {800, 600, 800, 800, 600, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " in " << c.box);
        RecordingOwner run;
        fs::remove_all(picture("box"));
        fs::create_directory(picture("box"));
        const std::string path = picture("box/p.jpg");
        writeQuadrantJpeg(path, c.width, c.height, 6);
        ProcessingJob job = plainJob(picture("box"));
        job.settings.resize = true;
        job.settings.width = c.box;
        run.run(job);
        const wxImage result = loadImage(path);
        EXPECT_EQ(result.GetWidth(), c.expectedWidth);
        EXPECT_EQ(result.GetHeight(), c.expectedHeight);
        EXPECT_EQ(run.messages().back(), statistics(c.resized ? 1 : 0, 0, 0));
        // Rewritten even when it fitted: the Exif block is gone.
        MetadataHandler handler(path.c_str(), false);
        EXPECT_FALSE(handler.readExif());
    }
}

TEST_F(WorkingThreadTest, ResizesThenTurns)
{
    writeQuadrantJpeg(picture("a.jpg"), 4000, 3000, 6);
    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = job.settings.rotate = true;
    owner.run(job);
    const wxImage result = loadImage(picture("a.jpg"));
    EXPECT_EQ(result.GetWidth(), 600);
    EXPECT_EQ(result.GetHeight(), 800);
    EXPECT_EQ(owner.messages().back(), statistics(1, 1, 0));
}

// Pixel (u, v) of the upright picture is pixel at(u, v) of the stored one.
wxPoint storedPixel(int orientation, int u, int v, int storedW, int storedH)
{
    switch (orientation) {
    case 2: return {storedW - 1 - u, v};
    case 3: return {storedW - 1 - u, storedH - 1 - v};
    case 4: return {u, storedH - 1 - v};
    case 5: return {v, u};
    case 6: return {v, storedH - 1 - u};
    case 7: return {storedW - 1 - v, storedH - 1 - u};
    case 8: return {storedW - 1 - v, u};
    default: return {u, v};
    }
}

TEST_F(WorkingThreadTest, EveryOrientationComesOutUpright)
{
    const int storedW = 64, storedH = 32;
    for (int orientation = 0; orientation <= 8; ++orientation)
        writeQuadrantJpeg(picture("o" + std::to_string(orientation) + ".jpg"), storedW, storedH, orientation);
    ProcessingJob job = plainJob(dir.path());
    job.settings.rotate = true;
    owner.run(job);
    EXPECT_EQ(owner.messages().back(), statistics(0, 7, 0));

    const wxImage stored = loadImage(picture("o0.jpg"));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const wxImage upright = loadImage(picture("o" + std::to_string(orientation) + ".jpg"));
        const bool swapped = orientation >= 5;
        ASSERT_EQ(upright.GetWidth(), swapped ? storedH : storedW);
        ASSERT_EQ(upright.GetHeight(), swapped ? storedW : storedH);
        // The centre of each quadrant of the upright picture.
        for (int u : {upright.GetWidth() / 4, upright.GetWidth() * 3 / 4}) {
            for (int v : {upright.GetHeight() / 4, upright.GetHeight() * 3 / 4}) {
                const wxPoint s = storedPixel(orientation, u, v, storedW, storedH);
                EXPECT_NEAR(upright.GetRed(u, v), stored.GetRed(s.x, s.y), 24) << u << "," << v;
                EXPECT_NEAR(upright.GetGreen(u, v), stored.GetGreen(s.x, s.y), 24) << u << "," << v;
                EXPECT_NEAR(upright.GetBlue(u, v), stored.GetBlue(s.x, s.y), 24) << u << "," << v;
            }
        }
    }
}

TEST_F(WorkingThreadTest, NothingTickedStillRewritesEveryPicture)
{
    for (const char* name : {"a.jpg", "b.jpg"})
        writeQuadrantJpeg(picture(name), 40, 30, 3);
    const std::string before = readFile(picture("a.jpg"));
    owner.run(plainJob(dir.path()));
    EXPECT_TRUE(readFile(picture("a.jpg")) != before) << "file unchanged";
    EXPECT_EQ(loadImage(picture("a.jpg")).GetWidth(), 40);
    EXPECT_EQ(owner.messages(), std::vector<std::string>{statistics(0, 0, 0)});
}

TEST_F(WorkingThreadTest, WatermarkCountsEveryPicture)
{
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeQuadrantJpeg(picture(name), 40, 30);
    wxImage mark(10, 10, true);  // black
    ProcessingJob job = plainJob(dir.path());
    job.settings.useWatermark = true;
    job.watermarkImage = &mark;
    job.settings.wmPlacement = 42;
    owner.run(job);
    const std::vector<std::string> expected = {
        "Message|Wrong Water Image placement. Center placement will be used.", statistics(0, 0, 3)};
    EXPECT_EQ(owner.messages(), expected);
    // Black at 0.2 over the red quadrant, inside the centred watermark: 0.8 * 255.
    EXPECT_NEAR(loadImage(picture("a.jpg")).GetRed(16, 11), 204, 12);
    EXPECT_NEAR(loadImage(picture("a.jpg")).GetRed(5, 5), 255, 12);
}

TEST_F(WorkingThreadTest, RequestsInOrder)
{
    for (int i = 0; i < 42; ++i)
        writeQuadrantJpeg(picture(wxString::Format("p%02d.jpg", i).ToStdString()), 8, 8);
    owner.run(plainJob(dir.path()));
    const std::vector<std::string> r = owner.requests();
    ASSERT_EQ(r.size(), 1 + 1 + 1 + 42 * 2 + 1 + 2 + 1u);
    EXPECT_EQ(r[0], "STARTED 101");
    EXPECT_EQ(r[1], "ask Tessaly 1.0|Do you really want to process all JPG pictures in directory: \n\n" +
                        dir.path() + "\n\nNumber of files about to processed: 42");
    EXPECT_EQ(r[2], "range 42");
    EXPECT_EQ(r[3], "title Tessaly 1.1 - 1/42");
    EXPECT_EQ(r[4], "gauge 1");
    EXPECT_EQ(r[7], "title Tessaly 1.1 - 3/42");
    EXPECT_EQ(r[86], "gauge 42");
    EXPECT_EQ(r[87], "message " + statistics(0, 0, 0));
    EXPECT_EQ(r[88], "gauge 0");
    EXPECT_EQ(r[89], "title Tessaly 1.1");
    EXPECT_EQ(r[90], "FINISHED 0");
}

TEST_F(WorkingThreadTest, EmptyFolderGoesStraightToStatistics)
{
    owner.run(plainJob(dir.path()));
    const std::vector<std::string> expected = {
        "STARTED 101",
        "ask Tessaly 1.0|Do you really want to process all JPG pictures in directory: \n\n" + dir.path() +
            "\n\nNumber of files about to processed: 0",
        "range 0", "message " + statistics(0, 0, 0), "gauge 0", "title Tessaly 1.1", "FINISHED 0"};
    EXPECT_EQ(owner.requests(), expected);
}

TEST_F(WorkingThreadTest, NoAnswerChangesNothing)
{
    writeQuadrantJpeg(picture("a.jpg"), 40, 30);
    const std::string before = readFile(picture("a.jpg"));
    owner.answer = false;
    owner.run(plainJob(dir.path()));
    EXPECT_TRUE(readFile(picture("a.jpg")) == before) << "file changed";
    const std::vector<std::string> r = owner.requests();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r.front(), "STARTED 101");
    EXPECT_EQ(r.back(), "FINISHED 0");
}

TEST_F(WorkingThreadTest, FolderThatCannotBeOpened)
{
    owner.run(plainJob(dir.file("missing")));
    const std::vector<std::string> expected = {"STARTED 101", "message Error 01|Directory can not be opened.",
                                               "FINISHED 0"};
    EXPECT_EQ(owner.requests(), expected);
}

TEST_F(WorkingThreadTest, VanishedFileEndsTheBatch)
{
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeQuadrantJpeg(picture(name), 40, 30);
    owner.onTitle = [this](const std::string& title) {
        if (title == "Tessaly 1.1 - 2/3")
            fs::remove(picture("b.jpg"));
    };
    const std::string untouched = readFile(picture("c.jpg"));
    owner.run(plainJob(dir.path()));
    const std::vector<std::string> r = owner.requests();
    EXPECT_EQ(r[r.size() - 2], "message Error 02|File could not be opened.");
    EXPECT_EQ(r[r.size() - 3], "title Tessaly 1.1 - 2/3");
    EXPECT_TRUE(readFile(picture("c.jpg")) == untouched) << "file changed";
}

TEST_F(WorkingThreadTest, StopBeforeTheFirstPicture)
{
    writeQuadrantJpeg(picture("a.jpg"), 40, 30);
    const std::string before = readFile(picture("a.jpg"));
    // The stop comes from another thread, as from Ctrl-C in tessaly-batch.
    owner.onQuestion = [](WorkingThread* worker) { std::thread([worker] { worker->requestStop(); }).join(); };
    owner.run(plainJob(dir.path()));
    EXPECT_TRUE(readFile(picture("a.jpg")) == before) << "file changed";
    EXPECT_EQ(owner.messages(), std::vector<std::string>{statistics(0, 0, 0)});
}

TEST_F(WorkingThreadTest, EmptyBoxWritesNothing)
{
    for (int box : {0, -5}) {
        writeQuadrantJpeg(picture("a.jpg"), 40, 30, 6);
        const std::string before = readFile(picture("a.jpg"));
        RecordingOwner run;
        ProcessingJob job = plainJob(dir.path());
        job.settings.resize = job.settings.rotate = job.settings.useWatermark = true;
        wxImage mark(4, 4, true);
        job.watermarkImage = &mark;
        job.settings.width = box;
        run.run(job);
        // Nothing was saved, so nothing is counted, and the statistics say so.
        const std::vector<std::string> expected = {
            "Message|Watermarked image could not been saved.",
            statisticsNotSaved(1, picture("a.jpg") + ": cannot be written: nothing to write (an empty box)")};
        EXPECT_EQ(run.messages(), expected);
        EXPECT_TRUE(readFile(picture("a.jpg")) == before) << "file changed";
    }
}

#ifndef _WIN32
TEST_F(WorkingThreadTest, SelectsPictureFiles)
{
    for (const char* folder : {"top", "top/sub", "top/.hidden", "top/sub/deeper"})
        fs::create_directory(picture(folder));
    for (const char* name : {"top/B.JPG", "top/a.jpg", "top/c.jpeg", "top/d.Jpeg", "top/e.png", "top/f.jpg.txt",
                             "top/.g.jpg", "top/sub/h.jpg", "top/.hidden/i.jpg", "top/sub/deeper/j.jpg"})
        writeQuadrantJpeg(picture(name), 8, 8);
    fs::create_directory_symlink(picture("top"), picture("top/sub/loop"));

    static const struct {
        bool subfolders;
        const char* count;
    } cases[] = {{false, "4"}, {true, "8"}};
    for (const auto& c : cases) {
        RecordingOwner run;
        ProcessingJob job = plainJob(picture("top"));
        job.settings.includeSubdirectories = c.subfolders;
        run.run(job);
        const std::string ask = run.requests()[1];
        EXPECT_EQ(ask.substr(ask.rfind(' ') + 1), c.count) << c.subfolders;
    }

    // Name order without regard to case; the loop back to "top" is not followed.
    std::vector<std::string> paths;
    ASSERT_TRUE(listPictures(picture("top"), true, paths));
    std::vector<std::string> expected;
    for (const char* name : {"top/.g.jpg", "top/.hidden/i.jpg", "top/a.jpg", "top/B.JPG", "top/c.jpeg",
                             "top/d.Jpeg", "top/sub/deeper/j.jpg", "top/sub/h.jpg"})
        expected.push_back(picture(name));
    EXPECT_EQ(paths, expected);
}
#endif

#ifndef _WIN32
TEST_F(WorkingThreadTest, KeepsPermissionsTimeAndLinks)
{
    fs::create_directory(picture("real"));
    fs::create_directory(picture("album"));
    writeQuadrantJpeg(picture("real/target.jpg"), 1200, 900);
    fs::create_symlink(picture("real/target.jpg"), picture("album/link.jpg"));
    writeQuadrantJpeg(picture("album/own.jpg"), 1200, 900);
    chmod(picture("album/own.jpg").c_str(), 0640);
    const struct timespec times[2] = {{1000000000, 0}, {1100000000, 500}};
    utimensat(AT_FDCWD, picture("album/own.jpg").c_str(), times, 0);

    ProcessingJob job = plainJob(picture("album"));
    job.settings.resize = true;
    owner.run(job);

    struct stat own;
    ASSERT_EQ(stat(picture("album/own.jpg").c_str(), &own), 0);
    EXPECT_EQ(own.st_mode & 07777, 0640u);
    EXPECT_EQ(own.st_mtim.tv_sec, 1100000000);
    EXPECT_EQ(own.st_mtim.tv_nsec, 500);
    EXPECT_EQ(loadImage(picture("album/own.jpg")).GetWidth(), 800);
    EXPECT_TRUE(fs::is_symlink(picture("album/link.jpg")));
    EXPECT_EQ(loadImage(picture("real/target.jpg")).GetWidth(), 800);
    EXPECT_EQ(std::distance(fs::directory_iterator(picture("album")), fs::directory_iterator()), 2);
    EXPECT_EQ(owner.messages().back(), statistics(2, 0, 0));
}
#endif

#ifndef _WIN32
TEST_F(WorkingThreadTest, FailedSaveKeepsTheOriginal)
{
    writeQuadrantJpeg(picture("a.jpg"), 1000, 800);
    const std::string before = readFile(picture("a.jpg"));
    // Writes past 2 KiB fail, as on a full disk: the encoder's output is cut.
    std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit previous;
    getrlimit(RLIMIT_FSIZE, &previous);
    struct rlimit small = previous;
    small.rlim_cur = 2048;
    setrlimit(RLIMIT_FSIZE, &small);
    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = true;
    owner.run(job);
    setrlimit(RLIMIT_FSIZE, &previous);

    EXPECT_TRUE(readFile(picture("a.jpg")) == before) << "file changed";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "no temporary file may remain";
    // Nothing reached the disk: the statistics claim nothing.
    const std::vector<std::string> expected = {
        "Message|Watermarked image could not been saved.",
        statisticsNotSaved(1, picture("a.jpg") + ": cannot be written: File too large")};
    EXPECT_EQ(owner.messages(), expected);
}
#endif

TEST_F(WorkingThreadTest, Utf8Folder)
{
    fs::create_directory(fs::u8path(picture(u8"Ürlaub")));
    const std::string path = picture(u8"Ürlaub/été 1.jpg");
    writeQuadrantJpeg(path, 1000, 500, 8);
    ProcessingJob job = plainJob(picture(u8"Ürlaub"));
    job.settings.resize = job.settings.rotate = true;
    owner.run(job);
    EXPECT_EQ(owner.messages().back(), statistics(1, 1, 0));
    LoadedPicture result;
    ASSERT_TRUE(loadPicture(path, 0, result));
    EXPECT_EQ(result.image.GetWidth(), 400);
    EXPECT_EQ(result.image.GetHeight(), 800);
}

}  // namespace
