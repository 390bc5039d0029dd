// The real tessaly-batch, run as a script would run it.
#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <wx/msw/wrapwin.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <lcms2.h>

#include "TempDir.h"
#include "jpeg/JpegHead.h"
#include "platform/PathNames.h"
#include "batch/BatchTestSupport.h"
#include "pixel/PictureLoader.h"
#include "batch/TestJpeg.h"
#include "settings/PresetFile.h"
#include "text/NameKey.h"
#include "text/Utf8Text.h"

#ifndef _WIN32
extern char** environ;
#endif
namespace fs = std::filesystem;

namespace {

struct ProgramRun {
    int status = -1;  // -1: still running after a minute, killed
    std::string out;
    std::string err;
};

#ifdef _WIN32
// An argument as the C runtime of the program started splits it again.
std::wstring quoted(const std::string& argument)
{
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    const std::wstring wide = wxString::FromUTF8(argument).ToStdWstring();
    for (wchar_t c : wide) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

// Reads a pipe to its end on a thread of its own.
std::thread reader(HANDLE pipe, std::string& into)
{
    return std::thread([pipe, &into] {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
            into.append(buffer, got);
        CloseHandle(pipe);
    });
}

// Runs tessaly-batch.exe with stdin from NUL, or from a pipe that stays
// open and silent.
ProgramRun runBatch(const std::vector<std::string>& args, bool silentPipeAsInput = false,
                    const std::function<void(int, const std::string& out)>& = {},
                    const std::string& program = batchProgram())
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE out[2], err[2], in[2];
    if (!CreatePipe(&out[0], &out[1], &inherited, 0) || !CreatePipe(&err[0], &err[1], &inherited, 0) ||
        !CreatePipe(&in[0], &in[1], &inherited, 0))
        return {};
    for (HANDLE ours : {out[0], err[0], in[1]})
        SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    const HANDLE none = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                    OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = silentPipeAsInput ? in[0] : none;
    startup.hStdOutput = out[1];
    startup.hStdError = err[1];
    std::wstring line = quoted(program);
    for (const std::string& arg : args)
        line += L" " + quoted(arg);
    PROCESS_INFORMATION process{};
    // Wine under load now and then fails to start a process: try again.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0)
            Sleep(200);
        started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    }
    for (HANDLE theirs : {out[1], err[1], in[0], none})
        CloseHandle(theirs);
    ProgramRun run;
    std::thread outReader = reader(out[0], run.out), errReader = reader(err[0], run.err);
    DWORD status = 0;
    if (started) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 9);
        else if (GetExitCodeProcess(process.hProcess, &status))
            run.status = static_cast<int>(status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    outReader.join();
    errReader.join();
    CloseHandle(in[1]);
    // Standard output and error are text streams: their lines end in CR LF here.
    for (std::string* text : {&run.out, &run.err})
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    return run;
}
#else
// Runs tessaly-batch with stdin from /dev/null, or from a pipe that stays
// open and silent; whileRunning sees the output so far and may signal.
ProgramRun runBatch(const std::vector<std::string>& args, bool silentPipeAsInput = false,
             const std::function<void(pid_t, const std::string& out)>& whileRunning = {},
             const std::string& program = batchProgram())
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
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
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
#endif

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
    job.settings.resize = job.settings.rotate = job.settings.useWatermark = true;
    job.watermarkImage = &mark;
    job.settings.alpha = 0.35;
    job.settings.wmPlacement = 9;
    job.settings.quality = 85;
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

    // A result below an output folder also says whose result it is; the rest
    // is the same, byte for byte.
    const auto withoutSource = [](std::string jpeg) {
        const std::size_t record = jpeg.find("Tessaly processed 1.1 settings ");
        const std::size_t from = record + 47;
        if (record < 4 || jpeg.compare(from, 6, " from ") != 0)
            return std::string("no source in the record");
        jpeg.erase(from, 22);
        const int length = (static_cast<unsigned char>(jpeg[record - 2]) << 8 | static_cast<unsigned char>(jpeg[record - 1])) - 22;
        jpeg[record - 2] = static_cast<char>(length >> 8);
        jpeg[record - 1] = static_cast<char>(length);
        return jpeg;
    };
    for (const auto& entry : fs::directory_iterator(file("album"))) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        EXPECT_TRUE(readFile(file("terminal/" + name)) == readFile(file("window/" + name)));
        EXPECT_TRUE(withoutSource(readFile(file("originals/web/" + name))) == readFile(file("window/" + name)));
        EXPECT_TRUE(readFile(file("originals/" + name)) == readFile(entry.path().string()));
    }
}

TEST_F(TessalyBatch, DryRunChangesNothing)
{
    makeAlbum("album/sub", 3);
    writeFile(file("album/notes.jpg"), {'h', 'i'});
    struct Look {
        std::string bytes;
        fs::perms permissions;
        fs::file_time_type modified;
    };
    const auto lookAt = [](const fs::directory_entry& entry) {
        return Look{entry.is_regular_file() ? readFile(entry.path().u8string()) : "", entry.status().permissions(),
                    fs::last_write_time(entry.path())};
    };
    std::map<std::string, Look> before;
    for (const auto& entry : fs::recursive_directory_iterator(file("album")))
        before[entry.path().u8string()] = lookAt(entry);
    const ProgramRun run = runBatch({"--dry-run", "-s", "800", "-r", file("album")});
    EXPECT_EQ(run.status, 1) << "notes.jpg would fail";
    EXPECT_NE(run.out.find("notes.jpg: would fail: not a JPEG, PNG or TIFF picture"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("p101.jpg: 1460x1030 -> 564x800, turned a quarter clockwise"), std::string::npos)
        << run.out;
    // Each picture's text, its tokens filled in, as the real run would draw it.
    const ProgramRun text =
        runBatch({"--dry-run", "--json", "--text", "{name} {{©}}", "-p", "auto", "-r", file("album")});
    EXPECT_NE(text.out.find("\"watermarkText\": \"p101 {©}\""), std::string::npos) << text.out;
    // The place the picture's pixels choose, one of the corners allowed.
    EXPECT_NE(text.out.find("\"watermarkPosition\": \"top-left\""), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("\"watermarkPosition\": \"centre\""), std::string::npos) << text.out;
    EXPECT_EQ(runBatch({"--dry-run", "--json", "-r", file("album")}).out.find("watermarkText"), std::string::npos);
    // A text whose every token is empty draws nothing, said once for the batch.
    const ProgramRun empty = runBatch({"--dry-run", "-r", "--text", "\u00a9 {artist}", file("album")});
    EXPECT_NE(empty.out.find("0 watermarked"), std::string::npos) << empty.out;
    const std::string once = "pictures have none of the watermark text's tokens and were not marked\n";
    EXPECT_NE(empty.err.find(once), std::string::npos) << empty.err << empty.out;
    EXPECT_EQ(empty.err.find(once), empty.err.rfind(once)) << empty.err;
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(file("album"))) {
        ++entries;
        const Look& then = before[entry.path().u8string()];
        const Look now = lookAt(entry);
        EXPECT_TRUE(now.bytes == then.bytes) << entry.path();
        EXPECT_EQ(now.permissions, then.permissions) << entry.path();
        EXPECT_EQ(now.modified, then.modified) << entry.path();
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
    // The window's results folder, "#" and all, keeps the originals.
    std::FILE* more = std::fopen(file("prefs.cfg").c_str(), "a");
    std::fputs(("SaveToFolder = 1\nResultsFolder = " + file("web %23") + "\n").c_str(), more);
    std::fclose(more);
    const std::string before = readFile(file("explicit/p100.jpg"));
    EXPECT_EQ(runBatch({"--prefs", file("prefs.cfg"), "-y", file("explicit")}).status, 0);
    EXPECT_EQ(readFile(file("explicit/p100.jpg")), before);
    EXPECT_EQ(loadImage(file("web #/p100.jpg")).GetWidth(), 200);
    // The window keeps a GPS tick that its greyed box no longer applies: taken,
    // with a word that names the key rather than an option nobody typed.
    more = std::fopen(file("prefs.cfg").c_str(), "a");
    std::fputs("KeepGps = 1\n", more);
    std::fclose(more);
    const ProgramRun gps = runBatch({"--prefs", file("prefs.cfg"), "--overwrite", "-y", file("explicit")});
    EXPECT_EQ(gps.status, 0) << gps.err;
    EXPECT_NE(gps.err.find("KeepGps = 1 in " + shownPath(file("prefs.cfg")) + " goes with KeepExif = 1"),
              std::string::npos)
        << gps.err;
}

TEST_F(TessalyBatch, UsageErrors)
{
    makeAlbum("album", 1);
    makeAlbum("other/album", 1);
    const std::string album = file("album");
    // Each with --yes: without it, the missing terminal alone would refuse.
    static const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        // The parser's own complaints, in the program's words.
        {{"--yes"}, "tessaly-batch: which FOLDER? Name at least one\n"},
        {{"--bogus", "x"}, "tessaly-batch: there is no option --bogus\n"},
        {{"-s", "16OO", "x"}, "tessaly-batch: --size wants a number of pixels, 1 or more\n"},
        {{"-s", "0", "x"}, "--size wants a number of pixels"},
        {{"-Q", "101", "x"}, "--quality wants a number from 0 to 100"},
        {{"-a", "1.5", "x"}, "--opacity wants a number from 0 to 1"},
        {{"-p", "upper-left-ish", "x"}, "--position wants 1..9"},
        {{"--overwrite", "x"}, "--overwrite goes with --output"},
        {{"--skip-existing", "x"}, "--skip-existing goes with --output"},
        {{"-j", "0", "x"}, "--jobs wants a number from 1 to 256"},
        {{"-w", "/no/such/mark.png", "ALBUM"}, shownPath("cannot load the watermark /no/such/mark.png: No such file")},
        {{"--prefs", "/no/such/prefs.cfg", "x"}, shownPath("cannot read the preferences file /no/such/prefs.cfg")},
        {{"-q", "85", "ALBUM"}, "85: no such folder"},  // -q is --quiet: "85" would be a folder
        {{"-o", "out", "ALBUM", "OTHER"}, "two folders named album cannot share --output out"},
        // As the window refuses that results folder.
        {{"-o", "ALBUM/.", "ALBUM"}, "is the folder processed"},
        // The text mark: checked whole before any picture.
        {{"--text", "{year", "ALBUM"}, "the \"{\" at character 1 opens a token"},
        {{"--text", "{yaer}", "ALBUM"}, "the token {yaer} is unknown"},
        {{"--text", "x", "-w", "m.png", "ALBUM"}, "--text and --watermark exclude each other"},
        {{"--font", "DejaVu Sans", "ALBUM"}, "--font goes with --text"},
        {{"--text", "x", "--text-colour", "red", "ALBUM"}, "--text-colour wants a colour as #RRGGBB"},
        {{"--text", "x", "--text-size", "0", "ALBUM"}, "--text-size wants a number above 0, at most 100"},
        {{"--text", "x", "--font", "No Such Family", "ALBUM"}, "no installed font of that name"},
        // How results are written.
        {{"--format", "gif", "ALBUM"}, "--format wants jpeg or webp"},
        {{"--format", "webp", "--progressive", "ALBUM"}, "--progressive is for JPEG results, not --format webp"},
        {{"--chroma", "422", "ALBUM"}, "--chroma wants 420 or 444"},
        {{"--max-file-size", "1K", "ALBUM"}, "--max-file-size wants a size from 8K to 1000M"},
        {{"--max-file-size", "5OOK", "ALBUM"}, "--max-file-size wants a size from 8K to 1000M"},
        {{"--max-file-size", "1001M", "ALBUM"}, "--max-file-size wants a size from 8K to 1000M"},
        {{"--sharpen", "max", "ALBUM"}, "--sharpen wants off, low, standard or high"},
        // The mark's place and tone chosen by the ground.
        {{"--auto-places", "top", "ALBUM"}, "--auto-places goes with --position auto"},
        {{"-p", "auto", "--auto-places", "top,upper", "ALBUM"}, "--auto-places wants places such as"},
        {{"--watermark-bright", "dark.png", "ALBUM"}, "--watermark-bright goes with --watermark"},
        {{"--text", "x", "--text-colour", "automatic", "ALBUM"}, "#FFFFFF for white, or auto"},
        // Sizes, names, lists and presets.
        {{"--fit", "wide:800", "ALBUM"}, "--fit wants long:N, short:N"},
        {{"--fit", "long:800", "-s", "800", "ALBUM"}, "--size and --fit exclude each other"},
        {{"--name", "{date}", "ALBUM"}, "--name goes with --output"},
        {{"-o", "out", "--name", "{dat}_{name}", "ALBUM"}, "--name: the token {dat} is unknown"},
        {{"--null", "ALBUM"}, "--null goes with --files-from"},
        {{"--files-from", "-", "ALBUM", "OTHER"}, "--files-from takes one FOLDER at most"},
        {{"--files-from", "/no/such/list", "ALBUM"}, shownPath("cannot read the list /no/such/list")},
        {{"--preset", "no such preset", "ALBUM"}, "there is no preset no such preset"},
        {{"--preset", "x.cfg", "--prefs", "p.cfg", "ALBUM"}, "--prefs and --preset exclude each other"},
        {{"--save-preset", "a/b"}, "--save-preset wants a name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        std::vector<std::string> args = {"--yes"};
        for (const std::string& arg : c.args)
            args.push_back(arg.rfind("ALBUM", 0) == 0 ? album + arg.substr(5) : arg == "OTHER" ? file("other/album") : arg);
        const ProgramRun run = runBatch(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("Try 'tessaly-batch --help' for more information."), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(file("out"))) << "nothing is written before the options are all right";
    const ProgramRun help = runBatch({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--size N", "--no-rotate", "--watermark FILE", "--opacity A", "--position POS",
                               "--quality N", "--recursive", "--output DIR", "--overwrite", "--skip-existing",
                               "--prefs FILE", "--dry-run", "--yes", "--jobs N", "--quiet", "--json", "Example:",
                               "--text TEXT", "--font NAME|FILE", "--text-colour #RRGGBB", "--text-size P",
                               "--no-shadow", "--format FORMAT", "--progressive", "--chroma 420|444",
                               "--max-file-size SIZE", "--sharpen LEVEL", "--fit RULE", "--name TEMPLATE",
                               "--files-from FILE", "--null", "--preset NAME|FILE", "--save-preset NAME",
                               "--list-presets"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // An 80-column console or terminal shows every line whole, in its own
    // words; every option's description starts in one column, past the
    // longest option with its value.
    std::size_t longest = 0;
    std::set<std::size_t> columns;
    for (std::size_t start = 0, end = 0; start < help.out.size(); start = end + 1) {
        end = std::min(help.out.find('\n', start), help.out.size());
        const std::string line = help.out.substr(start, end - start);
        longest = std::max(longest, line.size());
        if (line.rfind("  -", 0) == 0)
            columns.insert(line.find_first_not_of(' ', line.find("  ", 2)));
    }
    EXPECT_LE(longest, 79u) << help.out;
    EXPECT_EQ(columns, std::set<std::size_t>{std::string("  --watermark-bright FILE  ").size()}) << help.out;
#ifdef _WIN32
    for (const char* unix : {"SIGTERM", "into head", " \\\n", "web/"})
        EXPECT_EQ(help.out.find(unix), std::string::npos) << unix;
    EXPECT_NE(help.out.find(" ^\n    --quality 85 --output C:\\Users\\"), std::string::npos) << help.out;
#else
    EXPECT_NE(help.out.find("143 after SIGTERM"), std::string::npos) << help.out;
#endif
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
    EXPECT_NE(run.err.find(shownPath(file("album/cut.jpg")) + ": does not decode whole"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(shownPath(file("album/drawing.jpg")) + ": not a JPEG, PNG or TIFF picture"), std::string::npos)
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

#ifndef _WIN32
TEST_F(TessalyBatch, CtrlCLeavesEveryFileWhole)
{
    makeAlbum("first", 3);
    makeAlbum("album", 40);
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::directory_iterator(file("album")))
        before[entry.path().string()] = readFile(entry.path().string());
    // Stopped in the second folder: the count is of both.
    bool sent = false;
    const ProgramRun run = runBatch({"-s", "800", "-j", "2", "-y", file("first"), file("album")}, false,
                                    [&](pid_t pid, const std::string& out) {
                                        if (!sent && out.find(file("album") + "/") != std::string::npos) {
                                            kill(pid, SIGINT);
                                            sent = true;
                                        }
                                    });
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.out.find(" of 43 pictures: "), std::string::npos) << run.out;
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
#endif

#ifndef _WIN32
// Results go below the output folder and nowhere else: a symbolic link
// there, to a file or a folder, is never followed; several folders get a
// folder each; an output folder that holds the processed one is an
// ordinary target, one inside it is no input the next time.
TEST_F(TessalyBatch, ResultsStayBelowTheOutputFolder)
{
    makeAlbum("a", 2);
    makeAlbum("b/sub", 1);
    makeAlbum("b", 2);
    fs::copy(file("a"), file("originals"));
    fs::create_directories(file("out/b"));
    fs::create_directories(file("elsewhere"));
    fs::create_symlink("../../originals/p100.jpg", file("out/b/p100.jpg"));
    fs::create_symlink("../../elsewhere", file("out/b/sub"));
    const std::string original = readFile(file("originals/p100.jpg"));
    const auto taken = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(file("a/p100.jpg"), taken);

    ProgramRun run = runBatch({"-s", "300", "-r", "--overwrite", "-o", file("out"), "-y", file("a"), file("b")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(file("out/b/p100.jpg") + " is a symbolic link"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(file("out/b/sub") + " is a symbolic link"), std::string::npos) << run.err;
    EXPECT_TRUE(readFile(file("originals/p100.jpg")) == original) << "the link was followed";
    EXPECT_TRUE(fs::is_empty(file("elsewhere"))) << "the folder link was followed";
    EXPECT_TRUE(fs::is_symlink(file("out/b/p100.jpg")));
    for (const char* result : {"out/a/p100.jpg", "out/a/p101.jpg", "out/b/p101.jpg"})
        EXPECT_EQ(loadImage(file(result)).GetWidth() <= 300, true) << result;
    EXPECT_TRUE(fs::last_write_time(file("out/a/p100.jpg")) == taken) << "the original's time";

    // Resuming leaves results, never a link or a folder in a result's way.
    fs::create_directories(file("in-the-way/p100.jpg"));
    fs::create_symlink("../originals/p101.jpg", file("in-the-way/p101.jpg"));
    for (const bool dry : {false, true}) {
        run = runBatch({dry ? "-n" : "-y", "-s", "300", "--skip-existing", "-o", file("in-the-way"), file("a")});
        EXPECT_EQ(run.status, 1) << dry;
        EXPECT_NE(run.out.find(dry ? "2 would fail, 0 skipped" : "2 failed;"), std::string::npos) << run.out;
    }

    // Into a folder that holds the one processed: the pictures are not dropped.
    run = runBatch({"-s", "300", "-o", ".", "-y", "a"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(file("p100.jpg")));
    // Into a folder inside it, twice: the second run does not take the results as input.
    for (int i = 0; i < 2; ++i) {
        run = runBatch({"-s", "300", "-r", "--skip-existing", "-o", file("b/web"), "-y", file("b")});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(i == 0 ? "3 pictures: 3 saved" : "3 pictures: 0 saved"), std::string::npos) << run.out;
    }
    run = runBatch({"-n", "-s", "300", "-r", "--skip-existing", "-o", file("b/web"), file("b")});
    EXPECT_EQ(run.out.find("web/p100.jpg: "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("0 pictures would be saved (0 resized, 0 turned, 0 watermarked), 0 would fail, 3 skipped"),
              std::string::npos)
        << run.out;
}
#endif

#ifndef _WIN32
// The dry run says what the real run with the same options does, with the
// same status.
// exiftool's view of a picture: the values of the tags, "-" for a missing one.
std::string exiftool(const std::string& arguments, const std::string& path)
{
    std::string out;
    if (std::FILE* pipe = popen(("exiftool -f -s3 -n " + arguments + " '" + path + "'").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        pclose(pipe);
    }
    return out;
}
#endif

#ifndef _WIN32
// --keep-exif keeps date, camera and copyright, makes the orientation and
// size true of the new picture and drops the thumbnail and, unless asked,
// the GPS position. A second run with --skip-processed leaves the pictures
// done with its settings; other settings process them again.
TEST_F(TessalyBatch, KeepsExifAndSkipsWhatIsDone)
{
    writeQuadrantJpeg(file("photo.jpg"), 1200, 800, 6);
    writeQuadrantJpeg(file("thumb.jpg"), 160, 120);
    ASSERT_EQ(std::system(("exiftool -q -overwrite_original -DateTimeOriginal='2024:05:01 10:20:30' -Make=Canon "
                           "-Copyright='Ann Example' -GPSLatitude=48.5 -GPSLatitudeRef=N '-ThumbnailImage<=" +
                           file("thumb.jpg") + "' " + file("photo.jpg"))
                              .c_str()),
              0);
    const std::string tags = "-DateTimeOriginal -Make -Copyright -Orientation -ExifImageWidth -ExifImageHeight "
                             "-GPSLatitude -ThumbnailLength";
    static const struct {
        std::vector<std::string> options;
        std::string expected;
    } cases[] = {
        {{"--keep-exif"}, "2024:05:01 10:20:30\nCanon\nAnn Example\n1\n533\n800\n-\n-\n"},
        {{"--keep-exif", "--keep-gps"}, "2024:05:01 10:20:30\nCanon\nAnn Example\n1\n533\n800\n48.5\n-\n"},
        {{}, "-\n-\n-\n-\n-\n-\n-\n-\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.size());
        fs::remove_all(file("run"));
        fs::create_directory(file("run"));
        fs::copy_file(file("photo.jpg"), file("run/p.jpg"));
        std::vector<std::string> args = {"-s", "800", "-y", file("run")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(runBatch(args).status, 0);
        EXPECT_EQ(exiftool(tags, file("run/p.jpg")), c.expected);
        // Errors, warnings and minor warnings of the validation: none.
        EXPECT_EQ(exiftool("-validate", file("run/p.jpg")), "0 0 0\n");
    }

    const std::string done = readFile(file("run/p.jpg"));
    const ProgramRun again = runBatch({"-s", "800", "--skip-processed", "-y", file("run")});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("1 skipped (already processed)"), std::string::npos) << again.out;
    EXPECT_EQ(readFile(file("run/p.jpg")), done);
    EXPECT_EQ(runBatch({"-s", "800", "-Q", "70", "--skip-processed", "-y", file("run")}).status, 0);
    EXPECT_NE(readFile(file("run/p.jpg")), done) << "other settings process it again";
}
#endif

#ifndef _WIN32
// With --keep-exif the result passes exiftool's validation even where the
// camera left out what it calls required, and a date taken that only the
// XMP data holds is carried into EXIF.
TEST_F(TessalyBatch, ExifThatValidates)
{
    static const struct {
        const char* name;
        std::vector<std::string> edits;  // exiftool runs on the original, in turn
        const char* dateTaken;
    } cases[] = {
        {"required tags left out", {"-Make=Canon -DateTimeOriginal='2024:05:01 10:20:30'",
                                    "-ComponentsConfiguration= -FlashpixVersion= -ColorSpace="},
         "2024:05:01 10:20:30"},
        {"date in XMP only", {"-Make=Canon", "-XMP-exif:DateTimeOriginal='2022:03:04 05:06:07'"}, "2022:03:04 05:06:07"},
        {"no EXIF, date in XMP", {"-all= -XMP-xmp:CreateDate='2023:08:01 09:15:00'"}, "2023:08:01 09:15:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(file("run"));
        fs::create_directory(file("run"));
        writeQuadrantJpeg(file("run/p.jpg"), 1200, 800);
        for (const std::string& edit : c.edits)
            ASSERT_EQ(std::system(("exiftool -q -overwrite_original " + edit + " " + file("run/p.jpg")).c_str()), 0);
        ASSERT_EQ(runBatch({"-s", "800", "--keep-exif", "-y", file("run")}).status, 0);
        EXPECT_EQ(exiftool("-validate", file("run/p.jpg")), "0 0 0\n");
        EXPECT_EQ(exiftool("-EXIF:DateTimeOriginal -EXIF:ColorSpace", file("run/p.jpg")),
                  c.dateTaken + std::string("\n1\n"));
    }
}
#endif

// A name already taken below --output: the run says whether the file is
// this picture's earlier result or another's, and what would do what.
TEST_F(TessalyBatch, SaysWhoseResultIsInTheWay)
{
    makeAlbum("trip", 1);
    makeAlbum("large", 1);
    ASSERT_EQ(runBatch({"-s", "300", "-y", "-o", file("web"), file("trip")}).status, 0);
    const std::string first = readFile(file("web/p100.jpg"));
    static const struct {
        const char* folder;
        const char* says;
    } cases[] = {
        {"trip", ": an earlier result of this picture (--skip-existing leaves it, --overwrite replaces it)"},
        {"large", ": no result of this picture, but another picture's or a file of your own (--overwrite would "
                  "replace it)"},
    };
    for (const auto& c : cases) {
        for (const bool dry : {true, false}) {
            const ProgramRun run = runBatch({dry ? "-n" : "-y", "-s", "300", "-y", "-o", file("web"), file(c.folder)});
            EXPECT_EQ(run.status, 1) << c.folder;
            EXPECT_NE((dry ? run.out : run.err).find(shownPath(file("web/p100.jpg")) + " already exists" + c.says),
                      std::string::npos)
                << run.out << run.err;
        }
    }
    EXPECT_EQ(readFile(file("web/p100.jpg")), first);
    // Resuming leaves a result that is there without reading its picture
    // again: one damaged since is not even decoded.
    writeFile(file("trip/p100.jpg"), {0xFF, 0xD8, 0xFF});
    const ProgramRun resumed = runBatch({"-s", "300", "-y", "--skip-existing", "-o", file("web"), file("trip")});
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_NE(resumed.out.find("1 skipped (already there)"), std::string::npos) << resumed.out;
}

#ifndef _WIN32
TEST_F(TessalyBatch, DryRunSaysWhatTheRealRunDoes)
{
    fs::create_directories(file("album"));
    writeQuadrantJpeg(file("album/wide.jpg"), 1200, 600);
    writeQuadrantJpeg(file("album/turned.jpg"), 1460, 1030, 6);
    fs::create_directories(file("done"));
    writeQuadrantJpeg(file("done/wide.jpg"), 10, 10);
    // The plan each picture gets before decoding, in place and below an
    // output folder: the dry run and the real run give the same verdicts.
    static const struct {
        std::vector<std::string> options;
        int status;
        const char* says;
        bool processedBefore;  // the pictures carry these settings' record
        bool brokenHead;       // a picture whose head gives no size
    } cases[] = {
        {{"-s", "800"}, 0, "wide.jpg: 1200x600 -> 800x400", false, false},
        {{"-s", "800"}, 0, "turned.jpg: 1460x1030 -> 564x800, turned a quarter clockwise", false, false},
        {{"-s", "1"}, 1, "would fail: nothing to write (an empty box)", false, false},
        {{"-o", "DONE"}, 1, "wide.jpg already exists", false, false},
        {{"-o", "DONE", "--skip-existing"}, 0, "skipped, ", false, false},
        {{"-s", "800", "--skip-processed"}, 0, "skipped, already processed with these settings", true, false},
        {{"-s", "800"}, 1, "broken.jpg: would fail: no readable size in its head", false, true},
        // Fitted as the result stands, and named by a template.
        {{"--fit", "width:600"}, 0, "turned.jpg: 1460x1030 -> 600x850, turned a quarter clockwise", false, false},
        {{"-s", "800", "-o", "DONE", "--name", "{name}-{width}"}, 0, "turned-564.jpg", false, false},
        {{"-o", "DONE", "--name", "wide"}, 1, "wide (2).jpg", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        fs::remove_all(file("run"));
        fs::copy(file("album"), file("run"));
        if (c.processedBefore) {
            ASSERT_EQ(runBatch({"-s", "800", "-y", file("run")}).status, 0);
        }
        if (c.brokenHead)
            writeFile(file("run/broken.jpg"), {0xFF, 0xD8, 0xFF, 0xE1, 0x00});
        fs::remove_all(file("out"));
        fs::copy(file("done"), file("out"));
        std::vector<std::string> args;
        for (const std::string& option : c.options)
            args.push_back(option == "DONE" ? file("out") : option);
        args.insert(args.end(), {"-y", file("run")});
        std::vector<std::string> dry = args;
        dry.insert(dry.begin(), "--dry-run");
        const ProgramRun said = runBatch(dry);
        EXPECT_NE(said.out.find(c.says), std::string::npos) << said.out;
        EXPECT_EQ(said.status, c.status);
        // With --json, the real run's objects, marked as a dry run.
        dry.insert(dry.begin(), "--json");
        const ProgramRun json = runBatch(dry);
        args.insert(args.begin(), "--json");
        const ProgramRun real = runBatch(args);
        EXPECT_EQ(real.status, c.status) << "the real run";
        EXPECT_EQ(json.status, c.status);
        writeFile(file("dry.json"), Bytes(json.out.begin(), json.out.end()));
        writeFile(file("real.json"), Bytes(real.out.begin(), real.out.end()));
        const std::string compare =
            "python3 -c \"import json,sys; d,r=[[json.loads(l) for l in open(f)] for f in sys.argv[1:]]; "
            "keys=('path','written','outcome','resized','rotated'); "
            "sys.exit(not (all(o['dryRun'] is True for o in d) and len(d)==len(r) and "
            "[[o[k] for k in keys] for o in d[:-1]]==[[o[k] for k in keys] for o in r[:-1]] and "
            "[d[-1][k] for k in ('pictures','saved','failed','skipped')]=="
            "[r[-1][k] for k in ('pictures','saved','failed','skipped')]))\" " +
            file("dry.json") + " " + file("real.json");
        EXPECT_EQ(std::system(compare.c_str()), 0) << json.out << real.out;
    }
}
#endif

// Stray bytes between two segments, which libjpeg passes over with a
// warning: the picture is read whole all the same, turned, with its EXIF
// data and its profile, and the dry run says what the real run does.
TEST_F(TessalyBatch, StrayBytesBetweenSegments)
{
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(srgb, nullptr, &size);
    Bytes profile(size);
    cmsSaveProfileToMem(srgb, profile.data(), &size);
    cmsCloseProfile(srgb);
    Bytes jpeg = encodeJpeg(shadedPicture(1200, 800), false, StoredAs::ycc420, profile);
    const std::size_t behindJfif = 4 + std::size_t(jpeg[4] << 8 | jpeg[5]);
    const Bytes stray = Bytes{0x20, 0x00, 0x0A} + segment(0xE1, exifPayload(tiffData(false, {orientationShort(6)})));
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(behindJfif), stray.begin(), stray.end());
    fs::create_directory(file("album"));
    writeFile(file("album/p.jpg"), jpeg);

    const ProgramRun dry = runBatch({"-n", "-s", "800", "--keep-exif", file("album")});
    EXPECT_EQ(dry.status, 0);
    EXPECT_NE(dry.out.find("p.jpg: 1200x800 -> 533x800, turned a quarter clockwise\n1 pictures would be saved"),
              std::string::npos)
        << dry.out;
    const ProgramRun real = runBatch({"-s", "800", "--keep-exif", "-y", file("album")});
    EXPECT_EQ(real.status, 0) << real.err;
    EXPECT_NE(real.out.find("1 pictures: 1 saved (1 resized, 1 rotated"), std::string::npos) << real.out;
    std::FILE* result = std::fopen(file("album/p.jpg").c_str(), "rb");
    ASSERT_NE(result, nullptr);
    JpegHead head;
    EXPECT_TRUE(readJpegHead(result, head));
    std::fclose(result);
    EXPECT_EQ(head.frame.width, 533);
    EXPECT_EQ(head.frame.height, 800);
    EXPECT_TRUE(head.exifRead);
    EXPECT_EQ(head.orientation, 1);
    EXPECT_TRUE(head.iccProfile == std::vector<unsigned char>(profile.begin(), profile.end()));
}

#ifndef _WIN32
// Run on a pseudo-terminal: an empty answer is No, Ctrl-C ends at once;
// neither leaves a trace, not even the output folder.
TEST_F(TessalyBatch, TheQuestionAtATerminal)
{
    makeAlbum("album", 2);
    const std::string before = readFile(file("album/p100.jpg"));
    static const struct {
        const char* typed;
        int status;
        const char* says;
    } cases[] = {{"\n", 1, "Nothing done."}, {"n\n", 1, "Nothing done."}, {"\x03", 130, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        int terminal = -1;
        const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
        if (pid == 0) {
            execl(TESSALY_BATCH_PROGRAM, TESSALY_BATCH_PROGRAM, "-s", "300", "-o", file("out").c_str(),
                  file("album").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string screen;
        char buffer[256];
        ssize_t got = 0;
        while (screen.find("[y/N]") == std::string::npos && (got = read(terminal, buffer, sizeof buffer)) > 0)
            screen.append(buffer, static_cast<std::size_t>(got));
        EXPECT_NE(screen.find("Process 2 pictures in " + file("album") + ", writing the results below " +
                              file("out") + "/? [y/N]"),
                  std::string::npos)
            << screen;
        ASSERT_EQ(write(terminal, c.typed, std::strlen(c.typed)), static_cast<ssize_t>(std::strlen(c.typed)));
        std::string after;
        while ((got = read(terminal, buffer, sizeof buffer)) > 0)
            after.append(buffer, static_cast<std::size_t>(got));
        EXPECT_NE(after.find(c.says), std::string::npos) << after;
        int status = 0;
        waitpid(pid, &status, 0);
        close(terminal);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status);
        EXPECT_FALSE(fs::exists(file("out")));
        EXPECT_TRUE(readFile(file("album/p100.jpg")) == before);
    }
}
#endif

#ifndef _WIN32
// --json: standard output is JSON alone, a line per picture and a summary;
// a reader that goes away ends the run without a half-written picture.
TEST_F(TessalyBatch, JsonForScripts)
{
    makeAlbum("album", 3);
    writeFile(file("album/broken.jpg"), {0xFF, 0xD8, 0xFF});
    const ProgramRun run = runBatch({"--json", "-s", "300", "-y", file("album")});
    EXPECT_EQ(run.status, 1);
    writeFile(file("run.json"), Bytes(run.out.begin(), run.out.end()));
    const std::string check = "python3 -c \"import json,sys; d=[json.loads(l) for l in open(sys.argv[1])]; "
                              "print(len(d), d[0]['outcome'], d[1]['outcome'], d[1]['resized'], d[-1]['saved'], "
                              "d[-1]['failed'])\" " + file("run.json") + " > " + file("parsed.txt");
    ASSERT_EQ(std::system(check.c_str()), 0) << run.out;
    EXPECT_EQ(readFile(file("parsed.txt")), "5 unreadable saved True 3 1\n");

    // Names with a backslash, a quote or control characters stay valid JSON
    // and name the very file.
    fs::create_directory(file("odd"));
    const std::string content = readFile(file("album/p100.jpg"));
    const Bytes picture(content.begin(), content.end());
    for (const char* name : {"back\\slash.jpg", "q\"uote.jpg", "tab\tand\nline.jpg", "\x01\x1f\x7f.jpg"})
        writeFile(file("odd/") + name, picture);
    const ProgramRun odd = runBatch({"--json", "-s", "300", "-y", file("odd")});
    writeFile(file("odd.json"), Bytes(odd.out.begin(), odd.out.end()));
    const std::string named = "python3 -c \"import json,os,sys; d=[json.loads(l) for l in open(sys.argv[1])]; "
                              "print(sum(os.path.isfile(o['path']) and o['path'] == o['written'] for o in d[:-1]))\" " +
                              file("odd.json") + " > " + file("named.txt");
    ASSERT_EQ(std::system(named.c_str()), 0) << odd.out;
    EXPECT_EQ(readFile(file("named.txt")), "4\n") << odd.out;

    makeAlbum("many", 30);
    const std::string piped = "bash -c 'set -o pipefail; " + std::string(TESSALY_BATCH_PROGRAM) + " -j 1 -s 300 -y " +
                              file("many") + " | head -n 1 > /dev/null; echo $? > " + file("status.txt") + "'";
    ASSERT_EQ(std::system(piped.c_str()), 0);
    EXPECT_EQ(readFile(file("status.txt")), "141\n");
    // The run ends after the picture at hand: the others stay untouched.
    int processed = 0;
    for (const auto& entry : fs::directory_iterator(file("many"))) {
        LoadedPicture picture;
        EXPECT_TRUE(loadPicture(entry.path().string(), 0, picture)) << entry.path() << " damaged";
        processed += picture.image.GetWidth() <= 300;
    }
    EXPECT_LT(processed, 10);
}
#endif

#ifndef _WIN32
// A folder that is there but cannot be read, or that no result can be
// saved in, is the batch's failure (status 1), not a usage error; the
// latter is said once, before anything is touched.
TEST_F(TessalyBatch, AFolderThatCannotBeOpenedOrWritten)
{
    makeAlbum("locked", 1);
    makeAlbum("readonly", 2);
    chmod(file("locked").c_str(), 0700);
    chmod(file("readonly").c_str(), 0555);
    chmod(dir.path().c_str(), 0755);
    // The other user may not reach the checkout, wherever it lies: it runs a
    // copy of the program.
    const std::string program = file("tessaly-batch");
    fs::copy_file(TESSALY_BATCH_PROGRAM, program);
    chmod(program.c_str(), 0755);
    static const struct {
        const char* folder;
        const char* said;
    } cases[] = {{"locked", ": cannot open the folder\n"},
                 {"readonly", ": no picture can be saved there: Permission denied; nothing was processed\n"}};
    for (const auto& c : cases) {
        const ProgramRun run = runBatch({"--reuid=65534", "--regid=65534", "--clear-groups", program, "-y",
                                         file(c.folder)},
                                        false, {}, "/usr/bin/setpriv");
        EXPECT_EQ(run.status, 1) << c.folder;
        EXPECT_EQ(run.err, "tessaly-batch: " + file(c.folder) + c.said) << c.folder;
    }
    // The dry run knows it as well, with the same status.
    const ProgramRun dry = runBatch({"--reuid=65534", "--regid=65534", "--clear-groups", program, "-n",
                                     file("readonly")},
                                    false, {}, "/usr/bin/setpriv");
    EXPECT_EQ(dry.status, 1);
    EXPECT_NE(dry.err.find("no picture can be saved there: Permission denied; nothing would be processed"),
              std::string::npos)
        << dry.err;
}
#endif

// In place, a WebP result goes beside its picture, which stays byte for
// byte; the next run finds it as this picture's earlier result, leaves it
// with --skip-processed, and refuses to replace it unasked.
TEST_F(TessalyBatch, WebpResultsGoBesideThePictures)
{
    makeAlbum("album", 2);
    const std::string original = readFile(file("album/p100.jpg"));
    const std::vector<std::string> webp = {"--format", "webp", "-s", "400", "--max-file-size", "20K", "-y"};
    const auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args = webp;
        args.insert(args.end(), more.begin(), more.end());
        args.push_back(file("album"));
        return runBatch(args);
    };
    const ProgramRun first = run({"--json"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(readFile(file("album/p100.jpg")), original);
    const std::string result = readFile(file("album/p100.webp"));
    EXPECT_EQ(result.compare(8, 4, "WEBP"), 0);
    EXPECT_LE(result.size(), 20000u);
    EXPECT_NE(first.out.find("p100.webp\", \"outcome\": \"saved\""), std::string::npos) << first.out;
    EXPECT_NE(first.out.find("\"format\": \"webp\", \"quality\": "), std::string::npos) << first.out;
    const ProgramRun again = run({"--skip-processed"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("2 skipped (already processed)"), std::string::npos) << again.out;
    const ProgramRun unasked = run({});
    EXPECT_EQ(unasked.status, 1);
    EXPECT_NE(unasked.err.find("an earlier result of this picture"), std::string::npos) << unasked.err;
    EXPECT_EQ(readFile(file("album/p100.webp")), result);
    // JPEG's layout on request, sharpened: progressive, colour at full resolution.
    EXPECT_EQ(runBatch({"--progressive", "--chroma", "444", "--sharpen", "high", "-s", "400", "-o", file("web"), "-y",
                        file("album")})
                  .status,
              0);
    std::FILE* stream = std::fopen(file("web/p100.jpg").c_str(), "rb");
    ASSERT_TRUE(stream);
    JpegHead head;
    EXPECT_TRUE(readJpegHead(stream, head));
    std::fclose(stream);
    EXPECT_TRUE(head.frame.progressive);
    EXPECT_EQ(head.frame.horizontal[0] * 10 + head.frame.vertical[0], 11);
    EXPECT_EQ(runBatch({"--progressive", "--chroma", "444", "-s", "400", "-o", file("soft"), "-y", file("album")}).status,
              0);
    const wxImage soft = loadImage(file("soft/p100.jpg")), sharp = loadImage(file("web/p100.jpg"));
    ASSERT_TRUE(soft.IsOk() && sharp.IsOk());
    EXPECT_NE(std::memcmp(soft.GetData(), sharp.GetData(), std::size_t(3) * soft.GetWidth() * soft.GetHeight()), 0)
        << "sharpened";
}

}  // namespace

// Presets for several targets in one run, each picture decoded once: the
// largest result as its preset alone writes it, each into its own folder;
// a list of files instead of a folder.
TEST_F(TessalyBatch, PresetsAndLists)
{
    makeAlbum("album", 3);
    BatchSettings web, thumbs;
    web.saveToFolder = thumbs.saveToFolder = true;
    web.useWatermark = thumbs.useWatermark = false;
    web.resultsFolder = file("web");
    web.fitMode = "long";
    web.width = 1000;
    thumbs.resultsFolder = file("thumbs");
    thumbs.width = 300;
    thumbs.nameTemplate = "t-{counter:2}";
    std::string error;
    ASSERT_TRUE(writePreset(file("presets"), "web", web, error)) << error;
    ASSERT_TRUE(writePreset(file("presets"), "thumbs", thumbs, error)) << error;
    const std::string webPreset = presetPath(file("presets"), "web"), thumbsPreset = presetPath(file("presets"), "thumbs");
    const ProgramRun both = runBatch({"--preset", webPreset, "--preset", thumbsPreset, "-y", file("album")});
    ASSERT_EQ(both.status, 0) << both.err;
    EXPECT_NE(both.out.find("6 pictures: 6 saved"), std::string::npos) << both.out;
    // p101 stands turned: its upright long side is the fit's.
    EXPECT_EQ(loadImage(file("web/p101.jpg")).GetSize(), wxSize(705, 1000));
    EXPECT_EQ(loadImage(file("thumbs/t-02.jpg")).GetSize(), wxSize(211, 300));
    ASSERT_EQ(runBatch({"--preset", webPreset, "-o", file("alone"), "-y", file("album")}).status, 0);
    for (const char* name : {"p100.jpg", "p101.jpg", "p102.jpg"})
        EXPECT_EQ(readFile(file("alone/") + name), readFile(file("web/") + name)) << name;

    // A list: its JPEG names only, each once, named below the current folder;
    // p102 only on a line from Windows, whose CR is no part of the name.
    const std::string list = "album/p102.jpg\r\nnotes.txt\r\n\nalbum/p100.jpg\nalbum/p100.jpg\n";
    writeFile(file("list"), Bytes(list.begin(), list.end()));
    const ProgramRun listed = runBatch({"--files-from", file("list"), "-o", file("listed"), "-y"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.err.find("notes.txt: no .jpg or .jpeg name, left out"), std::string::npos) << listed.err;
    EXPECT_NE(listed.out.find("2 pictures: 2 saved"), std::string::npos) << listed.out;
    EXPECT_TRUE(fs::exists(file("listed/album/p102.jpg")));
    EXPECT_FALSE(fs::exists(file("listed/album/p101.jpg")));
    const std::string nul = std::string("album/p101.jpg") + '\0' + "album/p100.jpg" + '\0';
    writeFile(file("list0"), Bytes(nul.begin(), nul.end()));
    const ProgramRun named = runBatch({"--files-from", file("list0"), "-0", "-n", "-o", file("o"), "--name",
                                       "{counter}", file("album")});
    // In the list's order, which the counter follows.
    EXPECT_LT(named.out.find("p101.jpg: "), named.out.find("p100.jpg: ")) << named.out;
    EXPECT_NE(named.out.find(", to " + shownPath(file("o/2.jpg")) + "\n"), std::string::npos) << named.out;
#ifndef _WIN32
    // Saved where the window keeps its presets, and listed from there.
    setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
    EXPECT_EQ(runBatch({"--save-preset", "small", "--size", "200", "-o", file("small")}).status, 0);
    const ProgramRun names = runBatch({"--list-presets"});
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(names.out, "small\n");
    EXPECT_TRUE(fs::exists(file("config/tessaly/presets/small.cfg")));
#endif
}

// The language asked for, or the environment's: a usage error, the help's
// usage line and a dry run's line in each; English without one.
TEST_F(TessalyBatch, SpeaksTheUsersLanguage)
{
    makeAlbum("album", 1);
    static const struct {
        const char* code;
        const char* unknown;
        const char* usage;
        const char* sizeKept;
    } languages[] = {
        {"de", "tessaly-batch: es gibt keine Option --bogus\n", "\nAufruf: tessaly-batch", ", Größe behalten"},
        {"es", "tessaly-batch: no existe la opción --bogus\n", "\nUso: tessaly-batch", ", tamaño conservado"},
        {"fr", "tessaly-batch: il n'y a pas d'option --bogus\n", "\nUtilisation : tessaly-batch", ", taille gardée"},
        {"it", "tessaly-batch: non esiste l'opzione --bogus\n", "\nUso: tessaly-batch", ", dimensione mantenuta"},
        {"en", "tessaly-batch: there is no option --bogus\n", "\nUsage: tessaly-batch", ", size kept"},
    };
    for (const auto& spoken : languages) {
        SCOPED_TRACE(spoken.code);
        const ProgramRun unknown = runBatch({"--language", spoken.code, "--bogus"});
        const ProgramRun help = runBatch({"--language=" + std::string(spoken.code), "--help"});
        const ProgramRun dry = runBatch({"-n", file("album"), "--language", spoken.code});
        EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n') + 1), spoken.unknown);
        EXPECT_NE(help.out.find(spoken.usage), std::string::npos) << help.out;
        EXPECT_NE(dry.out.find(spoken.sizeKept), std::string::npos) << dry.out;
    }
    const ProgramRun unknownLanguage = runBatch({"--language", "xx", "-n", file("album")});
    EXPECT_EQ(unknownLanguage.status, 2);
    EXPECT_NE(unknownLanguage.err.find("--language wants de, en, es, fr or it"), std::string::npos);
#ifndef _WIN32
    // Without --language, the terminal's.
    const char* before = std::getenv("LANGUAGE");
    const std::string language = before ? before : "";
    setenv("LANGUAGE", "de", 1);
    const ProgramRun german = runBatch({"--bogus"});
    if (language.empty())
        unsetenv("LANGUAGE");
    else
        setenv("LANGUAGE", language.c_str(), 1);
    EXPECT_EQ(german.err.substr(0, german.err.find('\n') + 1), languages[0].unknown);
#endif
}

namespace {

std::map<std::string, std::string> filesBelow(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(fs::u8path(folder)))
        if (entry.is_regular_file())
            files[entry.path().u8string()] = readFile(entry.path().u8string());
    return files;
}

// The results a --json run saved, by the file each went to.
std::vector<std::string> savedResults(const std::string& json)
{
    std::vector<std::string> written;
    const std::regex saved("\"written\": \"([^\"]*)\", \"outcome\": \"saved\"");
    for (std::sregex_iterator at(json.begin(), json.end(), saved), end; at != end; ++at)
        written.push_back((*at)[1]);
    return written;
}

}  // namespace

// However the results folder is spelt (.., ., a link, a preset's name of
// dots, presets' folders one inside the other), an original is never
// written, and the dry run says so with the real run's status.
TEST_F(TessalyBatch, NoOutputLeadsToTheOriginals)
{
    makeAlbum("photos", 2);
    fs::create_directories(file("photos/sub"));
    const auto originals = filesBelow(file("photos"));
    BatchSettings up, web, nest, small;
    for (BatchSettings* preset : {&up, &web, &nest, &small}) {
        preset->saveToFolder = true;
        preset->useWatermark = false;
    }
    up.resultsFolder = file("photos/new/..");
    web.resultsFolder = file("web");
    nest.resultsFolder = file("nest");
    small.resultsFolder = file("nest/small");
    std::string error;
    for (const auto& [name, preset] : std::vector<std::pair<std::string, BatchSettings>>{
             {"up", up}, {"web", web}, {"nest", nest}, {"small", small}})
        ASSERT_TRUE(writePreset(file("presets"), name, preset, error)) << error;
    fs::copy_file(file("presets/web.cfg"), file("presets/..cfg"));
    fs::copy_file(file("presets/web.cfg"), file("presets/...cfg"));
    static const struct {
        std::vector<std::string> args;
        int status;
        const char* said;
    } cases[] = {
        {{"-o", "photos/new/.."}, 2, "is the folder processed"},
        {{"-o", "photos/./"}, 2, "is the folder processed"},
        {{"-o", "photos/new/deeper/../../"}, 2, "is the folder processed"},
        {{"-o", "photos/sub/.."}, 2, "is the folder processed"},
        {{"-o", "out/new/.."}, 0, ""},
        {{"-o", ".", "--name", "photos/{name}"}, 1, "is a picture of this batch, which a result never replaces"},
        {{"--preset", "presets/up.cfg"}, 2, "is the folder processed"},
        {{"--preset", "presets/..cfg", "--preset", "presets/web.cfg", "-o", "photos"}, 2, "cannot name a folder"},
        {{"--preset", "presets/...cfg", "--preset", "presets/web.cfg", "-o", "photos/sub"}, 2, "cannot name a folder"},
        {{"--preset", "presets/nest.cfg", "--preset", "presets/small.cfg"}, 2, "lies inside"},
        {{"--preset", "presets/small.cfg", "--preset", "presets/nest.cfg"}, 2, "lies inside"},
#ifdef _WIN32
        {{"-o", "PHOTOS/new/.."}, 2, "is the folder processed"},
#else
        {{"-o", "link/new/.."}, 2, "is the folder processed"},
#endif
    };
#ifndef _WIN32
    fs::create_directory_symlink(file("photos"), file("link"));
#endif
    for (const auto& c : cases) {
        for (const char* mode : {"-n", "-y"}) {
            SCOPED_TRACE(testing::Message() << c.args[0] << " " << c.args[1] << " " << mode);
            std::vector<std::string> args = c.args;
            for (const char* more : {mode, "-f", "-s", "50", "photos"})
                args.push_back(more);
            const ProgramRun run = runBatch(args);
            EXPECT_EQ(run.status, c.status) << run.err;
            EXPECT_NE((run.err + run.out).find(c.said), std::string::npos) << run.err << run.out;
            EXPECT_TRUE(filesBelow(file("photos")) == originals) << "an original changed";
        }
    }
    EXPECT_EQ(filesBelow(file("out")).size(), 2u);
}

// Random folders, names and formats on a small tree: whatever the mix, no
// original changes and no two results share a file.
TEST_F(TessalyBatch, AnyMixKeepsTheOriginals)
{
    const std::vector<std::vector<std::string>> outputs = {
        {"-o", "photos/new/.."}, {"-o", "photos/sub"}, {"-o", "photos/sub/.."}, {"-o", "out"},
        {"-o", "out/x/.."},      {"-o", "."},          {"-o", "photos/out"},    {"--format", "webp"}};
    const std::vector<std::string> names = {"", "{name}", "x", "photos/{name}", "sub/{name}", "{folder}/{name}",
                                            "A", "photos/sub/{name}"};
    std::mt19937 random(2026);
    for (int round = 0; round < 24; ++round) {
        fs::remove_all(file("t"));
        fs::create_directories(file("t/photos/sub"));
        WorkingDirectory inside(file("t"));
        for (const char* name : {"photos/a.jpg", "photos/B.jpg", "photos/sub/a.jpg", "photos/sub/c.JPG"})
            writeQuadrantJpeg(file("t/") + name, 120, 80);
        const auto originals = filesBelow(file("t/photos"));
        std::vector<std::string> args = outputs[random() % outputs.size()];
        const std::string& name = names[random() % names.size()];
        if (!name.empty() && args[0] == "-o")
            args.insert(args.end(), {"--name", name});
        if (random() % 2)
            args.push_back("-r");
        if (random() % 2)
            args.push_back(args[0] == "-o" || random() % 2 ? "-f" : "--skip-existing");
        for (const char* more : {"--json", "-y", "-s", "40", "photos"})
            args.push_back(more);
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << ::testing::PrintToString(args));
        for (int again = 0; again < 2; ++again) {
            const ProgramRun run = runBatch(args);
            EXPECT_TRUE(run.status == 0 || run.status == 1 || run.status == 2) << run.err;
            std::set<std::string> places, names;
            for (const auto& [path, bytes] : originals) {
                EXPECT_TRUE(readFile(path) == bytes) << path << " changed\n" << run.err;
                places.insert(decidedPath(path));
            }
            for (const std::string& written : savedResults(run.out)) {
                EXPECT_TRUE(places.insert(decidedPath(written)).second) << written << ": an original's";
                EXPECT_TRUE(names.insert(nameKey(decidedPath(written))).second) << written << " twice";
            }
        }
    }
}

#ifndef _WIN32
// What the report and the record say is what happened: a mark that draws
// nothing is neither counted nor recorded, the dry run leaves what it
// cannot know as null, and a name that is not UTF-8 stays valid JSON that
// still leads to its file.
TEST_F(TessalyBatch, TheReportSaysWhatHappened)
{
    makeAlbum("album", 2);
    fs::copy_file(file("album/p100.jpg"), file("album/\xC9mile.jpg"));
    const std::string parse = "python3 -c \"import base64,json,os,sys\n"
                              "for l in open(sys.argv[1]):\n"
                              "  d=json.loads(l)\n"
                              "  if 'path' in d: print(d['watermarked'], d['quality'], d.get('overLimit', '-'),"
                              " os.path.isfile(base64.b64decode(d['pathBytes']) if 'pathBytes' in d else d['path']))\n"
                              "\" ";
    const auto parsed = [&](const ProgramRun& run) {
        writeFile(file("run.json"), Bytes(run.out.begin(), run.out.end()));
        EXPECT_EQ(std::system((parse + file("run.json") + " > " + file("parsed.txt")).c_str()), 0) << run.out;
        return readFile(file("parsed.txt"));
    };
    const std::vector<std::string> unmarked = {"--json", "--text", "{artist}", "-o", "out", "-s", "300", "-y", "album"};
    ProgramRun run = runBatch(unmarked);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(parsed(run), "False 82 - True\nFalse 82 - True\nFalse 82 - True\n");
    // Not done with these settings: taken again, its earlier result replaced.
    std::vector<std::string> again = unmarked;
    again.insert(again.begin(), {"--skip-processed", "-f"});
    run = runBatch(again);
    EXPECT_NE(run.out.find("\"saved\": 3,"), std::string::npos) << run.out;
    // What stood in the way, as the writer says it, in the dry run alike.
    fs::rename(file("out/p101.jpg"), file("kept.jpg"));
    fs::create_directories(file("out/p101.jpg"));
    writeFile(file("out/p100.jpg"), Bytes{'m', 'i', 'n', 'e'});
    for (const char* mode : {"-n", "-y"}) {
        run = runBatch({"--json", mode, "-o", "out", "-s", "300", "album"});
        for (const char* refusal : {"existing", "notAFile", "earlierResult"})
            EXPECT_NE(run.out.find(std::string("\"refusal\": \"") + refusal + "\""), std::string::npos) << run.out;
    }

    run = runBatch({"--json", "-n", "--max-file-size", "20K", "-o", "limited", "-s", "300", "album"});
    EXPECT_EQ(parsed(run), "False None None True\nFalse None None True\nFalse None None True\n");
    run = runBatch({"--json", "-n", "-o", "plain", "-s", "300", "album"});
    EXPECT_EQ(parsed(run), "False 82 - True\nFalse 82 - True\nFalse 82 - True\n");
    // In the program's own words too, never dropped from them.
    fs::create_directory(file("odd"));
    writeFile(file("odd/\xC9mile.jpg"), {0xFF, 0xD8, 0xFF});
    run = runBatch({"-n", "-o", "plain", "odd"});
    EXPECT_NE(run.out.find("odd/\xEF\xBF\xBDmile.jpg: would fail"), std::string::npos) << run.out;

    // WebP beside the pictures: the second run leaves or replaces what the first made.
    for (const char* how : {"", "--skip-existing", "--overwrite"}) {
        std::vector<std::string> args = {"--format", "webp", "-s", "300", "-y", "album"};
        if (*how)
            args.insert(args.begin(), how);
        EXPECT_EQ(runBatch(args).status, 0) << how;
    }
    // A WebP result whose mark drew nothing is not done with these
    // settings: --skip-processed takes its picture again.
    for (int round = 0; round < 2; ++round) {
        run = runBatch({"--json", "--format", "webp", "--text", "{artist}", "--skip-processed", "--overwrite", "-s",
                        "300", "-y", "album"});
        EXPECT_NE(run.out.find("\"saved\": 3,"), std::string::npos) << round << run.out;
    }
}

// Settings and presets are files, small and regular: a device is refused at
// once, a looping link in the presets folder ends no listing.
TEST_F(TessalyBatch, OnlySmallRegularFilesAreSettings)
{
    makeAlbum("album", 1);
    for (const char* option : {"-c", "--preset"}) {
        const ProgramRun run = runBatch({option, "/dev/zero", "-n", "album"});
        EXPECT_EQ(run.status, 2) << option;
        EXPECT_NE(run.err.find("/dev/zero: not a regular file"), std::string::npos) << run.err;
    }
    writeFile(file("huge.cfg"), Bytes((1 << 20) + 1, '#'));
    EXPECT_NE(runBatch({"-c", "huge.cfg", "-n", "album"}).err.find("larger than 1 MiB"), std::string::npos);
    fs::create_directories(file("config/tessaly/presets"));
    fs::create_symlink("loop.cfg", file("config/tessaly/presets/loop.cfg"));
    fs::copy_file(file("huge.cfg"), file("config/tessaly/presets/...cfg"));
    writeFile(file("config/tessaly/presets/kept.cfg"), Bytes{'#'});
    setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
    const ProgramRun listed = runBatch({"--list-presets"});
    // Listed, but no preset: said so, not that there is none.
    const ProgramRun taken = runBatch({"--preset", "kept", "-n", "album"});
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "kept\n");
    EXPECT_EQ(taken.status, 2);
    EXPECT_NE(taken.err.find("kept.cfg is no preset: it has no PresetVersion line"), std::string::npos) << taken.err;
}
#endif

// Lists as Windows tools write them: with a byte-order mark, in UTF-16
// (PowerShell's ">"), or in the system's code page (Notepad); one that
// cannot be read is a usage error that says why.
TEST_F(TessalyBatch, ListsFromWindowsTools)
{
    makeAlbum("album", 1);
    fs::copy_file(fs::u8path(file("album/p100.jpg")), fs::u8path(file(u8"album/Gr\u00F6\u00DFe.jpg")));
    const std::string names = u8"album/Gr\u00F6\u00DFe.jpg\r\nalbum/p100.jpg\r\n";
    const auto utf16 = [&names](bool big) {
        std::string bytes;
        for (const char32_t code : codePoints(names)) {
            bytes += static_cast<char>(big ? code >> 8 : code & 0xFF);
            bytes += static_cast<char>(big ? code & 0xFF : code >> 8);
        }
        return bytes;
    };
    struct Case {
        const char* what;
        std::string bytes;
        int status;
        const char* said;
    };
    std::vector<Case> cases = {
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + names, 0, "2 pictures would be saved"},
        {"UTF-16 LE", "\xFF\xFE" + utf16(false), 0, "2 pictures would be saved"},
        {"UTF-16 BE", "\xFE\xFF" + utf16(true), 0, "2 pictures would be saved"},
        {"UTF-16 without its mark", utf16(false), 2, "NUL bytes"},
        {"a broken UTF-16", "\xFF\xFE" + utf16(false).substr(1), 2, "byte-order mark says UTF-16"},
    };
#ifdef _WIN32
    const std::wstring wide = wxString::FromUTF8(names).ToStdWstring();
    std::string local(4 * wide.size(), '\0');
    local.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), local.data(),
                                     static_cast<int>(local.size()), nullptr, nullptr));
    cases.push_back({"the system's code page", local, 0, "2 pictures would be saved"});
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(file("list.txt"), Bytes(c.bytes.begin(), c.bytes.end()));
        const ProgramRun run = runBatch({"--files-from", "list.txt", "-n", "-o", "out", "-s", "300"});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE((run.out + run.err).find(c.said), std::string::npos) << run.out << run.err;
    }
}

// Folders typed with a separator at their end, as tab completion writes
// them ("C:\photos\" on Windows): every name whole, no separator doubled.
TEST_F(TessalyBatch, FoldersTypedWithATrailingSeparator)
{
    makeAlbum("photos/sub", 1);
    makeAlbum("photos", 1);
    const std::string photos = nativePath(file("photos")) + nativePath("/");
    const std::string out = nativePath(file("out")) + nativePath("/");
    const std::string list = nativePath(file("photos/p100.jpg")) + "\n" + nativePath(file("photos/sub/p100.jpg"));
    writeFile(file("list.txt"), Bytes(list.begin(), list.end()));
    ProgramRun run = runBatch({"--files-from", "list.txt", "-o", out, "-s", "300", "-y", photos});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::exists(fs::u8path(file("out/p100.jpg"))));
    EXPECT_TRUE(fs::exists(fs::u8path(file("out/sub/p100.jpg"))));
    run = runBatch({"-n", "-r", "-o", out, "-s", "300", photos});
    const std::string doubled = nativePath("//");
    EXPECT_EQ(run.out.find(doubled), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(nativePath(file("photos/sub/p100.jpg")) + ": "), std::string::npos) << run.out;
}

// Every way in takes a setting's value by the same row: at the ends of its
// range it is taken, beyond them refused (status 2), by a settings file
// and a preset with the file, the line and the key, and by the option.
TEST_F(TessalyBatch, EveryWayInTakesTheSameRange)
{
    static const struct {
        const char* key;
        const char* option;  // nullptr: none sets it alone
        const char* value;
        bool taken;
    } cases[] = {
        {"Quality", "--quality", "100", true},          {"Quality", "--quality", "101", false},
        {"Quality", "--quality", "0", true},            {"Quality", "--quality", "-1", false},
        {"Width", nullptr, "1", true},                  {"Width", nullptr, "0", false},
        {"Width", nullptr, "800px", false},             {"Height", nullptr, "1000001", false},
        {"Alpha", "--opacity", "1", true},              {"Alpha", "--opacity", "1.01", false},
        {"WmPlacement", nullptr, "9", true},            {"WmPlacement", nullptr, "10", false},
        {"WatermarkSize", "--watermark-size", "100", true}, {"WatermarkSize", "--watermark-size", "100000", false},
        {"WatermarkMargin", "--margin", "49", true},    {"WatermarkMargin", "--margin", "1e12", false},
        {"TextSize", "--text-size", "100", true},       {"TextSize", "--text-size", "0", false},
        {"TextOpacity", "--text-opacity", "1", true},   {"TextOpacity", "--text-opacity", "1.5", false},
        {"FitMegapixels", nullptr, "0.01", true},       {"FitMegapixels", nullptr, "0.009", false},
        {"MaxFileSize", "--max-file-size", "8", true},  {"MaxFileSize", "--max-file-size", "7", false},
        {"MaxFileSize", "--max-file-size", "1000000", true}, {"MaxFileSize", "--max-file-size", "1000001", false},
        {"MaxFileSize", "--max-file-size", "2000M", false}, {"Sharpening", "--sharpen", "max", false},
        {"OutputFormat", "--format", "webp", true},     {"TextColour", "--text-colour", "#12345", false},
        {"WatermarkText", "--text", "{artist {bogus}", false}, {"AutoPlaces", "--auto-places", "top,upper", false},
        {"NameTemplate", "--name", "{nothing}", false}, {"Resize", nullptr, "off", false},
    };
    const std::string head = "#Tessaly preset\nPresetVersion = 1\n";
    fs::create_directory(fs::u8path(file("empty")));
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.value);
        const std::string line = std::string(c.key) + " = " + c.value + "\n";
        // A window's file names its watermark; this one draws none.
        const std::string prefs = "UseWatermark = 0\n" + line;
        writeFile(file("prefs.cfg"), Bytes(prefs.begin(), prefs.end()));
        ProgramRun run = runBatch({"-c", "prefs.cfg", "-n", "empty"});
        EXPECT_EQ(run.status, c.taken ? 0 : 2) << run.err;
        EXPECT_EQ(run.err.find("prefs.cfg, line 2: " + std::string(c.key) + " cannot be ") != std::string::npos,
                  !c.taken) << run.err;
        const std::string preset = head + line;
        writeFile(file("p.cfg"), Bytes(preset.begin(), preset.end()));
        run = runBatch({"--preset", "p.cfg", "-n", "empty"});
        EXPECT_EQ(run.status, c.taken ? 0 : 2) << run.err;
        EXPECT_EQ(run.err.find("p.cfg, line 3: " + std::string(c.key) + " cannot be ") != std::string::npos,
                  !c.taken) << run.err;
        if (!c.option)
            continue;
        std::vector<std::string> arguments = {c.option, c.value, "-n", "empty"};
        if (std::string(c.key).rfind("Text", 0) == 0 && std::string(c.option) != "--text")
            arguments.insert(arguments.end(), {"--text", "x"});
        if (std::string(c.key) == "AutoPlaces")
            arguments.insert(arguments.end(), {"--position", "auto"});
        if (std::string(c.key) == "NameTemplate")
            arguments.insert(arguments.end(), {"--output", "out"});
        run = runBatch(arguments);
        EXPECT_EQ(run.status, c.taken ? 0 : 2) << run.err;
    }
#ifndef _WIN32
    // Every field away from its default goes through --preset and
    // --save-preset and comes back as it was.
    BatchSettings every;
    for (int i = 0; !changeSetting(every, i).key.empty(); ++i) {
    }
    const std::string everyText = presetText(every);
    writeFile(file("every.cfg"), Bytes(everyText.begin(), everyText.end()));
    setenv("XDG_CONFIG_HOME", file("config").c_str(), 1);
    const ProgramRun saved = runBatch({"--preset", "every.cfg", "--save-preset", "copy"});
    // Each switch sets its row's field, a "no-" one to 0.
    const ProgramRun switched = runBatch({"--text", "x", "--no-shadow", "--no-rotate", "-r", "--srgb", "--keep-exif",
                                          "--keep-gps", "--progressive", "--skip-processed", "--save-preset", "sw"});
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(readFile(file("config/tessaly/presets/copy.cfg")), presetText(every));
    EXPECT_EQ(switched.status, 0) << switched.err;
    EXPECT_EQ(switched.err.find("assert"), std::string::npos) << switched.err;
    const std::string switches = readFile(file("config/tessaly/presets/sw.cfg"));
    for (const char* line : {"\nTextShadow = 0\n", "\nRotate = 0\n", "\nIncludeSubdirectories = 1\n",
                             "\nConvertToSrgb = 1\n", "\nKeepExif = 1\n", "\nKeepGps = 1\n", "\nProgressive = 1\n",
                             "\nSkipProcessed = 1\n"})
        EXPECT_NE(switches.find(line), std::string::npos) << line << switches;
#endif
}

namespace {

// A cover frame keeps the picture's detail, or its centre, and the JSON
// says where in the picture; a contain frame puts the colour asked for
// around it, at the frame's size.
TEST_F(TessalyBatch, FramesKeepTheDetailOrHoldThePicture)
{
    fs::create_directories(fs::u8path(file("framed")));
    wxImage picture(600, 300, false);
    picture.SetRGB(wxRect(0, 0, 600, 300), 128, 128, 128);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 150; x += 3)
            picture.SetRGB(x + y % 3, y, 250, 40, 90);
    writeFile(file("framed/p.jpg"), encodeJpeg(picture, false));
    static const struct {
        std::vector<std::string> focus;
        const char* crop;
    } cases[] = {{{}, "\"width\": 150, \"height\": 150, \"crop\": [0, 0, 300, 300]"},
                 {{"--focus", "centre"}, "\"width\": 150, \"height\": 150, \"crop\": [150, 0, 300, 300]"}};
    for (const auto& c : cases) {
        // Shrunk to 300 x 150, then cropped: the crop in the picture's own pixels.
        std::vector<std::string> arguments = {"--fit", "cover:150x150", "-n", "--json", "framed"};
        arguments.insert(arguments.begin(), c.focus.begin(), c.focus.end());
        const ProgramRun run = runBatch(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(c.crop), std::string::npos) << run.out;
    }
    // The detail on the right: the crop goes there, whatever the plan's centre.
    writeFile(file("framed/p.jpg"), encodeJpeg(picture.Mirror(), false));
    const ProgramRun right = runBatch({"--fit", "cover:150x150", "-n", "--json", "framed"});
    std::smatch crop;
    ASSERT_TRUE(std::regex_search(right.out, crop, std::regex("\"crop\": \\[(\\d+), 0, 300, 300\\]"))) << right.out;
    EXPECT_GE(std::stoi(crop[1]), 290);
    const ProgramRun framed =
        runBatch({"--fit", "contain:400x400", "--background", "#0000FF", "-o", "out", "-y", "framed"});
    EXPECT_EQ(framed.status, 0) << framed.err;
    const wxImage result = loadImage(file("out/p.jpg"));
    ASSERT_EQ(result.GetSize(), wxSize(400, 400));
    // The picture 400 x 200 in the middle, blue above and below it.
    EXPECT_GT(result.GetBlue(300, 40), 200);
    EXPECT_LT(result.GetRed(300, 40), 40);
    EXPECT_NEAR(result.GetBlue(300, 200), 128, 12);
    EXPECT_GT(result.GetBlue(300, 360), 200);
    const ProgramRun alone = runBatch({"--focus", "centre", "framed"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.err.find("--focus goes with --fit cover:WxH"), std::string::npos) << alone.err;
}

}  // namespace
