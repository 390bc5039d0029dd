// The real tessaly-batch, run as a script would run it.
#include <csignal>
#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/PictureLoader.h"
#include "batch/TestJpeg.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;  // -1: still running after a minute, killed
    std::string out;
    std::string err;
};

// Runs tessaly-batch with stdin from /dev/null, or from a pipe that stays
// open and silent; whileRunning sees the output so far and may signal.
ProgramRun runBatch(const std::vector<std::string>& args, bool silentPipeAsInput = false,
             const std::function<void(pid_t, const std::string& out)>& whileRunning = {})
{
    int out[2], err[2], in[2];
    if (pipe(out) != 0 || pipe(err) != 0 || pipe(in) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (silentPipeAsInput)
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    else
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<char*> argv = {const_cast<char*>(TESSALY_BATCH_PROGRAM)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, TESSALY_BATCH_PROGRAM, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    close(in[0]);
    ProgramRun run;
    if (spawned != 0)
        return run;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            char buffer[4096];
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
            } else {
                (i == 0 ? run.out : run.err).append(buffer, static_cast<std::size_t>(got));
                if (i == 0 && whileRunning)
                    whileRunning(pid, run.out);
            }
        }
    }
    const bool finished = fds[0].fd < 0 && fds[1].fd < 0;
    if (!finished)
        kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    close(in[1]);
    run.status = finished && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class TessalyBatch : public testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.path()};

    std::string file(const std::string& name) const { return dir.file(name); }

    void makeAlbum(const std::string& folder, int count)
    {
        fs::create_directories(file(folder));
        for (int i = 0; i < count; ++i)
            writeQuadrantJpeg(file(folder + "/p" + std::to_string(100 + i) + ".jpg"), 1500 - 40 * (i % 5),
                              1000 + 30 * (i % 3), i % 4 == 1 ? 6 : 0);
    }

    void copyAlbum(const std::string& to) { fs::copy(file("album"), file(to), fs::copy_options::recursive); }
};

TEST_F(TessalyBatch, SameFilesAsTheWindowsEngine)
{
    makeAlbum("album", 6);
    writeFile(file("album/progressive.jpg"), encodeJpeg(shadedPicture(1800, 1200), true));
    ASSERT_TRUE(shadedPicture(200, 60).SaveFile(wxString::FromUTF8(file("mark.bmp")), wxBITMAP_TYPE_BMP));
    for (const char* copy : {"window", "terminal", "originals"})
        copyAlbum(copy);

    wxImage mark;
    ASSERT_TRUE(mark.LoadFile(wxString::FromUTF8(file("mark.bmp")), wxBITMAP_TYPE_ANY, 0));
    ProcessingJob job = plainJob(file("window"));
    job.resize = job.autoRotate = job.watermark = true;
    job.watermarkImage = &mark;
    job.alpha = 0.35;
    job.placement = 9;
    job.qualityText = "85";
    RecordingOwner window;
    window.run(job);

    const std::vector<std::string> settings = {"-s", "800", "-w", file("mark.bmp"), "-a", "0.35", "-p",
                                               "bottom-right", "-Q", "85", "--yes"};
    std::vector<std::string> inPlace = settings;
    inPlace.push_back(file("terminal"));
    const ProgramRun run = runBatch(inPlace);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("7 pictures: 7 saved (7 resized, 2 rotated, 7 watermarked), 0 failed"), std::string::npos)
        << run.out;

    std::vector<std::string> elsewhere = settings;
    elsewhere.insert(elsewhere.end(), {"--output", file("originals/web"), file("originals")});
    EXPECT_EQ(runBatch(elsewhere).status, 0);
    // The output folder inside the one processed is no input the next time.
    EXPECT_EQ(runBatch(elsewhere).status, 1) << "files already there are not overwritten";
    elsewhere.insert(elsewhere.begin(), "--overwrite");
    EXPECT_EQ(runBatch(elsewhere).status, 0);

    for (const auto& entry : fs::directory_iterator(file("album"))) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        EXPECT_TRUE(readFile(file("terminal/" + name)) == readFile(file("window/" + name)));
        EXPECT_TRUE(readFile(file("originals/web/" + name)) == readFile(file("window/" + name)));
        EXPECT_TRUE(readFile(file("originals/" + name)) == readFile(entry.path().string()));
    }
}

TEST_F(TessalyBatch, DryRunChangesNothing)
{
    makeAlbum("album/sub", 3);
    writeFile(file("album/notes.jpg"), {'h', 'i'});
    std::map<std::string, std::pair<std::string, struct stat>> before;
    for (const auto& entry : fs::recursive_directory_iterator(file("album"))) {
        struct stat info;
        stat(entry.path().c_str(), &info);
        before[entry.path().string()] = {entry.is_regular_file() ? readFile(entry.path().string()) : "", info};
    }
    const ProgramRun run = runBatch({"--dry-run", "-s", "800", "-r", file("album")});
    EXPECT_EQ(run.status, 1) << "notes.jpg would be skipped";
    EXPECT_NE(run.out.find("notes.jpg: skipped, not a JPEG, PNG or TIFF picture"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("p101.jpg: 1460x1030 -> 800x564, turned a quarter clockwise"), std::string::npos)
        << run.out;
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(file("album"))) {
        ++entries;
        const auto& [bytes, info] = before[entry.path().string()];
        struct stat now;
        stat(entry.path().c_str(), &now);
        EXPECT_TRUE(!entry.is_regular_file() || readFile(entry.path().string()) == bytes) << entry.path();
        EXPECT_EQ(now.st_mode, info.st_mode) << entry.path();
        EXPECT_EQ(now.st_mtim.tv_nsec, info.st_mtim.tv_nsec) << entry.path();
        EXPECT_EQ(now.st_mtim.tv_sec, info.st_mtim.tv_sec) << entry.path();
    }
    EXPECT_EQ(entries, before.size());
    EXPECT_FALSE(fileExists(file("MetadataHandler.log")));
}

TEST_F(TessalyBatch, TakesTheWindowsPrefs)
{
    makeAlbum("album", 2);
    writeFile(file("prefs.cfg"), Bytes{});
    std::FILE* prefs = std::fopen(file("prefs.cfg").c_str(), "w");
    std::fputs("#Tessaly 1.1 configuration file\nResize = 1 \nUseWatermark = 0 \nRotate = 0 \nWidth = 300 \n"
               "Quality = 70 \n", prefs);
    std::fclose(prefs);
    copyAlbum("explicit");
    EXPECT_EQ(runBatch({"--prefs", file("prefs.cfg"), "-y", file("album")}).status, 0);
    EXPECT_EQ(loadImage(file("album/p100.jpg")).GetWidth(), 300);
    EXPECT_EQ(loadImage(file("album/p101.jpg")).GetWidth(), 300) << "Rotate = 0: not turned";
    // An option given on the command line wins.
    EXPECT_EQ(runBatch({"--prefs", file("prefs.cfg"), "-s", "200", "-y", file("explicit")}).status, 0);
    EXPECT_EQ(loadImage(file("explicit/p100.jpg")).GetWidth(), 200);
}

TEST_F(TessalyBatch, UsageErrors)
{
    static const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bogus", "x"},
        {"-s", "0", "x"},
        {"-Q", "101", "x"},
        {"-a", "1.5", "x"},
        {"-p", "upper-left-ish", "x"},
        {"--overwrite", "x"},
        {"-j", "0", "x"},
        {"-w", "/no/such/mark.png", "-y", "x"},
        {"--prefs", "/no/such/prefs.cfg", "x"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args[0]);
        const ProgramRun run = runBatch(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Try 'tessaly-batch --help' for more information."), std::string::npos) << run.err;
    }
    const ProgramRun help = runBatch({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--size", "--no-rotate", "--watermark", "--opacity", "--position", "--quality",
                               "--recursive", "--output", "--overwrite", "--prefs", "--dry-run", "--yes", "--jobs",
                               "--quiet", "Example:"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    EXPECT_EQ(runBatch({"--version"}).out, "tessaly-batch 1.1\n");
}

TEST_F(TessalyBatch, GoesOnPastUnreadablePictures)
{
    makeAlbum("album", 3);
    const std::string whole = readFile(file("album/p101.jpg"));
    writeFile(file("album/cut.jpg"), Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    ASSERT_TRUE(shadedPicture(50, 50).SaveFile(wxString::FromUTF8(file("album/drawing.jpg")), wxBITMAP_TYPE_PCX));
    // A head that ends before any scan: the window's trace reader would say
    // so on standard output, which is for results only.
    const Bytes jpeg = encodeJpeg(shadedPicture(16, 16), false);
    const Bytes sos = {0xFF, 0xDA};
    Bytes noScan(jpeg.begin(), std::search(jpeg.begin(), jpeg.end(), sos.begin(), sos.end()));
    noScan.insert(noScan.end(), {0xFF, 0xD9});
    writeFile(file("album/noscan.jpg"), noScan);
    const ProgramRun dry = runBatch({"--dry-run", "-s", "800", file("album")});
    EXPECT_EQ(dry.out.find("No image in jpeg!"), std::string::npos) << dry.out;
    const ProgramRun run = runBatch({"-s", "800", "-y", file("album")});
    EXPECT_EQ(run.out.find("No image in jpeg!"), std::string::npos) << run.out;
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(file("album/cut.jpg") + ": does not decode whole"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(file("album/drawing.jpg") + ": not a JPEG, PNG or TIFF picture"), std::string::npos)
        << run.err;
    for (const char* name : {"p100.jpg", "p101.jpg", "p102.jpg"}) {
        const wxImage saved = loadImage(file(std::string("album/") + name));
        EXPECT_EQ(std::max(saved.GetWidth(), saved.GetHeight()), 800) << name;
    }
}

TEST_F(TessalyBatch, WithoutATerminalItRefusesRatherThanWaits)
{
    makeAlbum("album", 1);
    const std::string before = readFile(file("album/p100.jpg"));
    const ProgramRun run = runBatch({"-s", "800", file("album")}, true);
    EXPECT_EQ(run.status, 2) << "killed after a minute means it waited";
    EXPECT_NE(run.err.find("--yes"), std::string::npos) << run.err;
    EXPECT_TRUE(readFile(file("album/p100.jpg")) == before);
}

TEST_F(TessalyBatch, CtrlCLeavesEveryFileWhole)
{
    makeAlbum("album", 40);
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(file("album")))
        before[entry.path().string()] = readFile(entry.path().string());
    bool sent = false;
    const ProgramRun run = runBatch({"-s", "800", "-j", "2", "-y", file("album")}, false, [&](pid_t pid, const std::string&) {
        if (!sent)
            kill(pid, SIGINT);
        sent = true;
    });
    EXPECT_EQ(run.status, 130) << run.err;
    int untouched = 0;
    for (const auto& [path, bytes] : before) {
        SCOPED_TRACE(path);
        if (readFile(path) == bytes) {
            ++untouched;
            continue;
        }
        LoadedPicture picture;
        ASSERT_TRUE(loadPicture(path, 0, picture)) << "a damaged file";
        EXPECT_EQ(std::max(picture.image.GetWidth(), picture.image.GetHeight()), 800);
    }
    EXPECT_GT(untouched, 0) << "the batch did not stop";
    EXPECT_EQ(std::distance(fs::directory_iterator(file("album")), fs::directory_iterator()), 40);
}

}  // namespace
