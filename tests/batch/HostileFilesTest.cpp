// Folders as users really have them: damaged, protected, linked, odd.
// Whatever is in them, no picture may be lost, damaged or processed twice,
// and the batch may not hang.
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include <gtest/gtest.h>
#ifndef _WIN32
// Other users, file modes, FIFOs and sockets: tests/windows/skipped.txt
// names the tests that need them.
#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <wx/mstream.h>
#include <zlib.h>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/BlockingImageHandler.h"
#include "batch/PicturePreview.h"
#include "pixel/JpegReplacer.h"
#include "pixel/JpegDecoder.h"
#include "jpeg/JpegHead.h"
#include "platform/PictureList.h"
#include "pixel/PictureLoader.h"
#include "batch/TestJpeg.h"
#include "platform/ReplacingFile.h"
#include "jpeg/MetadataHandler.h"

namespace fs = std::filesystem;

namespace {

const std::string cannotOpen = "Error 02|File could not be opened.";
const std::string cannotSave = "Message|Watermarked image could not been saved.";


Bytes insertAt(Bytes bytes, std::size_t at, const Bytes& extra)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
    return bytes;
}

Bytes withByte(Bytes bytes, std::uint8_t byte)
{
    bytes.push_back(byte);
    return bytes;
}

std::size_t find(const Bytes& bytes, std::uint8_t marker, std::size_t from = 0)
{
    for (std::size_t i = from; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == marker)
            return i;
    return bytes.size();
}

std::size_t findLast(const Bytes& bytes, std::uint8_t marker)
{
    std::size_t last = bytes.size();
    for (std::size_t i = find(bytes, marker); i < bytes.size(); i = find(bytes, marker, i + 1))
        last = i;
    return last;
}

Bytes withoutEnd(const Bytes& jpeg)
{
    return Bytes(jpeg.begin(), jpeg.end() - 2);
}

// The scan that starts at the start-of-scan marker at, header and data.
Bytes withoutScan(Bytes jpeg, std::size_t at)
{
    std::size_t end = at + 2;
    while (end + 1 < jpeg.size() && !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0))
        ++end;
    jpeg.erase(jpeg.begin() + static_cast<std::ptrdiff_t>(at), jpeg.begin() + static_cast<std::ptrdiff_t>(end));
    return jpeg;
}

Bytes cutAndClosed(const Bytes& jpeg, std::size_t at)
{
    Bytes cut(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(at));
    cut.insert(cut.end(), {0xFF, 0xD9});
    return cut;
}

// The first scan's Se, the last coefficient it codes, set to 0 as some
// encoders write it for sequential pictures.
Bytes zeroScanParameters(Bytes jpeg)
{
    const std::size_t sos = find(jpeg, 0xDA);
    jpeg[sos + 5 + 2 * jpeg[sos + 4] + 1] = 0;
    return jpeg;
}

// The first scan, one component of three, over and over: each repeat only
// makes the decoder walk the picture again.
Bytes repeatedScans(int repeats)
{
    const Bytes jpeg = encodeJpeg(shadedPicture(16, 16), false, StoredAs::scanPerComponent);
    const std::size_t first = find(jpeg, 0xDA);
    const std::size_t second = find(jpeg, 0xDA, first + 2);
    Bytes bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(first));
    for (int i = 0; i < repeats; ++i)
        bytes.insert(bytes.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(first),
                     jpeg.begin() + static_cast<std::ptrdiff_t>(second));
    bytes.insert(bytes.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(first), jpeg.end());
    return bytes;
}

// A real PNG of width x height in one bit per pixel: a few kilobytes that
// the toolkit would decode into 3 bytes a pixel.
Bytes blankPng(std::uint32_t width, std::uint32_t height)
{
    const auto be32 = [](Bytes& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* type, const Bytes& data) {
        be32(png, static_cast<std::uint32_t>(data.size()));
        Bytes typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        png.insert(png.end(), typed.begin(), typed.end());
        be32(png, static_cast<std::uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    };
    Bytes header;
    be32(header, width);
    be32(header, height);
    header.insert(header.end(), {1, 0, 0, 0, 0});  // 1 bit grey, no interlace
    chunk("IHDR", header);
    const Bytes rows(std::size_t(height) * (1 + (width + 7) / 8), 0);
    uLongf size = compressBound(static_cast<uLong>(rows.size()));
    Bytes data(size);
    compress2(data.data(), &size, rows.data(), static_cast<uLong>(rows.size()), 9);
    data.resize(size);
    chunk("IDAT", data);
    chunk("IEND", {});
    return png;
}

#ifndef _WIN32
// Runs f on a thread; false when it has not finished after 60 s, which
// only a wait for the FIFO's other end takes, however loaded the machine. Whoever
// is stuck opening the FIFO is then let go by opening its other end.
bool finishesSoon(const std::function<void()>& f, const std::string& fifo)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread runner([&] {
        f();
        std::lock_guard<std::mutex> lock(mutex);
        finished = true;
        done.notify_all();
    });
    bool inTime;
    {
        std::unique_lock<std::mutex> lock(mutex);
        inTime = done.wait_for(lock, std::chrono::seconds(60), [&] { return finished; });
    }
    if (!inTime)
        close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    runner.join();
    return inTime;
}
#endif

#ifndef _WIN32
// Runs f in a child process as the unprivileged user "nobody" (root
// ignores permissions); its result is the child's exit status.
int runAsNobody(const std::function<int()>& f)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(65534, 65534, 65534) != 0 ||
                               setresuid(65534, 65534, 65534) != 0))
            _exit(100);
        _exit(f());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 200;
}
#endif

class HostileFiles : public testing::Test {
protected:
    TempDir dir;
    // MetadataHandler writes its log into the working directory.
    WorkingDirectory cwd{dir.path()};

    std::string file(const std::string& name) const { return dir.file(name); }
};

TEST_F(HostileFiles, APictureThatDoesNotDecodeWholeIsRefused)
{
    const Bytes baseline = encodeJpeg(shadedPicture(640, 480), false);
    const Bytes progressive = encodeJpeg(shadedPicture(640, 480), true);
    Bytes huge = encodeJpeg(shadedPicture(16, 16), false);
    claimFrameSize(huge, 65000, 65000);
    Bytes bomb = encodeJpeg(shadedPicture(16, 16), true);
    claimFrameSize(bomb, 28000, 28000);

    struct Case {
        std::string name;
        Bytes bytes;
        bool loads;
    };
    std::vector<Case> cases = {
        {"whole, baseline", baseline, true},
        {"whole, progressive", progressive, true},
        // Camera files pad their data like this: nothing is missing.
        {"extraneous bytes before a marker", insertAt(baseline, find(baseline, 0xDA), {0, 0, 0, 0}), true},
        {"corrupt data ends the scan early", insertAt(baseline, baseline.size() * 2 / 3, {0xFF, 0xD9}), false},
        {"65000 x 65000 claimed in a few bytes", huge, false},
        {"progressive, 28000 x 28000 claimed", bomb, false},
        // Padding before the end marker, as encoders and cameras write it.
        {"two zero bytes before the end", insertAt(baseline, baseline.size() - 2, Bytes(2, 0)), true},
        {"64 zero bytes before the end", insertAt(progressive, progressive.size() - 2, Bytes(64, 0)), true},
        {"five 0xFF before the end", insertAt(baseline, baseline.size() - 2, Bytes(5, 0xFF)), true},
        // What garbled data leaves over when the decoder ends early.
        {"data left before the end", insertAt(baseline, baseline.size() - 2, Bytes(16, 0x5C)), false},
        {"data left between scans", insertAt(progressive, findLast(progressive, 0xDA), {0x3B, 0x00, 0x91}), false},
        // libjpeg warns before it moves past the bytes it skipped: the last
        // of them counts too, and a stuffed 0xFF is data, not padding.
        {"40 zeros and an 0x41 before the end", insertAt(baseline, baseline.size() - 2, withByte(Bytes(40, 0), 0x41)), false},
        {"zeros and a stuffed 0xFF before the end", insertAt(progressive, progressive.size() - 2, withByte(withByte(Bytes(64, 0), 0xFF), 0)), false},
        {"20 MiB of zeros before the end", insertAt(progressive, progressive.size() - 2, Bytes(20 << 20, 0)), true},
        // Every scan complete, and still not every coefficient bit there.
        {"progressive, cut after its first scan and closed", cutAndClosed(progressive, find(progressive, 0xDA, find(progressive, 0xDA) + 2)), false},
        {"progressive, a scan taken out", withoutScan(progressive, find(progressive, 0xDA, find(progressive, 0xDA) + 2)), false},
        {"progressive, its last scan taken out", withoutScan(progressive, findLast(progressive, 0xDA)), false},
        // Cut right behind the data: every pixel is there.
        {"no end marker, baseline", withoutEnd(baseline), true},
        {"no end marker, progressive", withoutEnd(progressive), true},
        {"progressive, cut before its last scan", Bytes(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(findLast(progressive, 0xDA))), false},
        {"sequential, zeros for the scan parameters", zeroScanParameters(baseline), true},
        {"3000 repeated scans", repeatedScans(3000), false},
        {"a PNG that claims 16000 x 16000", blankPng(16000, 16000), false},
    };
    EXPECT_FALSE(libjpegComplains(repeatedScans(3000))) << "libjpeg itself must accept the scans";
    for (const auto* whole : {&baseline, &progressive})
        for (double part : {0.3, 0.6, 0.95})
            cases.push_back({"cut at " + std::to_string(part) + (whole == &baseline ? ", baseline" : ", progressive"),
                             Bytes(whole->begin(), whole->begin() + static_cast<std::ptrdiff_t>(whole->size() * part)),
                             false});

    // Box 100 decodes the progressive pictures at half size with the
    // reduced decoder, box 200 and none at full size with libjpeg.
    for (const Case& c : cases) {
        for (int box : {0, 100, 200}) {
            SCOPED_TRACE(c.name + ", box " + std::to_string(box));
            writeFile(file("p.jpg"), c.bytes);
            LoadedPicture picture;
            EXPECT_EQ(loadPicture(file("p.jpg"), box, picture), c.loads);
            EXPECT_EQ(picture.image.IsOk(), c.loads);
        }
    }

    // In a batch: the damaged picture stays byte for byte, and the user is
    // told as for any unreadable picture.
    fs::create_directory(file("album"));
    writeFile(file("album/a.jpg"), baseline);
    writeFile(file("album/b.jpg"), cases.back().bytes);
    RecordingOwner owner;
    ProcessingJob job = plainJob(file("album"));
    job.settings.resize = true;
    job.settings.width = 200;
    owner.run(job);
    EXPECT_EQ(owner.messages(), std::vector<std::string>{cannotOpen});
    EXPECT_TRUE(readFile(file("album/b.jpg")) == std::string(cases.back().bytes.begin(), cases.back().bytes.end()));
    EXPECT_EQ(loadImage(file("album/a.jpg")).GetWidth(), 200);
}

// Bytes changed at random in the scan data: libjpeg often reaches the last
// block early and only warns of bytes left over. Whatever libjpeg notices,
// the batch must refuse rather than rewrite over the original.
TEST_F(HostileFiles, GarbledScanDataIsRefusedWheneverLibjpegNotices)
{
    std::mt19937 random(17);
    int noticed = 0;
    for (const StoredAs storedAs : {StoredAs::ycc420, StoredAs::ycc444}) {
        for (const bool progressive : {false, true}) {
            const Bytes whole = encodeJpeg(shadedPicture(480, 320), progressive, storedAs);
            std::uniform_int_distribution<std::size_t> where(find(whole, 0xDA) + 20, whole.size() - 3);
            for (int i = 0; i < 40; ++i) {
                Bytes garbled = whole;
                const std::size_t at = where(random);
                garbled[at] ^= static_cast<std::uint8_t>(1 + random() % 255);
                if (!libjpegComplains(garbled))
                    continue;
                ++noticed;
                writeFile(file("p.jpg"), garbled);
                for (const int box : {0, 100}) {
                    LoadedPicture picture;
                    EXPECT_FALSE(loadPicture(file("p.jpg"), box, picture))
                        << "byte " << at << (progressive ? " of the progressive" : " of the baseline")
                        << " picture, box " << box;
                }
            }
        }
    }
    EXPECT_GT(noticed, 40);
}

// The budget is shared by the pixels and whatever the decoder keeps: all
// of a progressive picture's coefficients for libjpeg, about 2 bytes a
// stored pixel; at a reduced scale only those that scale shows.
TEST_F(HostileFiles, DecoderMemoryIsBounded)
{
    writeFile(file("p.jpg"), encodeJpeg(shadedPicture(2000, 1000), true));
    // A 2000 x 1000 luma plane and two 1000 x 500 chroma planes, 2 bytes a
    // coefficient; the pixels, decoded at 1/4, are small beside them.
    const std::size_t coefficients = (2000 * 1000 + 2 * 1000 * 500) * 2;
    // At 1/4, 2 x 2 coefficients of each luma block and 4 x 4 of each
    // chroma block, with 8 bytes a block for the rest: 1.2 MB.
    const std::size_t reduced = 1200000;
    // At full size the pixels take their share of the limit first.
    const std::size_t pixels = 2000 * 1000 * 3;
    static const struct {
        int box;
        std::size_t limit;
        bool loads;
    } cases[] = {{200, reduced * 3 / 4, false},
                 {200, coefficients / 2, true},
                 {0, coefficients + pixels / 2, false},
                 {0, coefficients * 2 + pixels, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.box) + ", " + std::to_string(c.limit));
        std::FILE* stream = std::fopen(file("p.jpg").c_str(), "rb");
        ASSERT_NE(stream, nullptr);
        JpegHead head;
        readJpegHead(stream, head);
        LoadedPicture picture;
        EXPECT_EQ(decodeJpeg(stream, boxTarget(2000, 1000, c.box), c.limit, head, picture), c.loads);
        std::fclose(stream);
    }
}

// A legal progressive script that sends every bit of every coefficient in
// a scan of its own: 2,112 scans for three components.
std::vector<jpeg_scan_info> everyBitAlone()
{
    std::vector<jpeg_scan_info> script;
    for (int c = 0; c < 3; ++c)
        for (int start = 0; start < 64; ++start)
            for (int low = 10; low >= 0; --low) {
                jpeg_scan_info scan{};
                scan.comps_in_scan = 1;
                scan.component_index[0] = c;
                scan.Ss = scan.Se = start;
                scan.Ah = low == 10 ? 0 : low + 1;
                scan.Al = low;
                script.push_back(scan);
            }
    return script;
}

// What the progressive decoder must bound itself: the reduced decode (box
// 100, a quarter of the size at most) and libjpeg's (box 0) both refuse.
TEST_F(HostileFiles, ProgressiveDecoderKeepsItsBounds)
{
    const Bytes progressive = encodeJpeg(shadedPicture(640, 480), true);
    Bytes table15 = progressive;
    table15[find(progressive, 0xDA, find(progressive, 0xDA) + 2) + 6] = 0xFF;
    Bytes quant4 = progressive;
    quant4[find(progressive, 0xDB) + 4] = 0x04;
    static const struct {
        const char* name;
        Bytes bytes;
    } refused[] = {
        {"2,112 scans", encodeScripted(shadedPicture(400, 300), 90, StoredAs::ycc444, everyBitAlone())},
        {"a scan naming table 15", table15},
        {"quantization table 4", quant4},
        {"65,504 pixels wide", flatProgressiveGrey(65504, 8)},
    };
    for (const auto& c : refused)
        for (const int box : {0, 100}) {
            writeFile(file("p.jpg"), c.bytes);
            LoadedPicture picture;
            EXPECT_FALSE(loadPicture(file("p.jpg"), box, picture)) << c.name << ", box " << box;
        }
    LoadedPicture widest;
    writeFile(file("p.jpg"), flatProgressiveGrey(65500, 8));
    EXPECT_TRUE(loadPicture(file("p.jpg"), 100, widest)) << "libjpeg's largest side";

    // 47,000 x 47,000 for a 1000 box decodes at 1/8: a coefficient and a
    // mask of 8 bytes for each of 34.5 million blocks, and 104 MB of rows.
    writeFile(file("huge.jpg"), flatProgressiveGrey(47000, 47000));
    const std::size_t kept = std::size_t(5875) * 5875 * (2 + 8), rows = std::size_t(5875) * 5875 * 3;
    static const struct {
        std::size_t limit;
        bool loads;
    } limits[] = {{kept + rows / 2, false}, {pictureMemoryLimit, true}};
    for (const auto& c : limits) {
        SCOPED_TRACE(c.limit);
        std::FILE* stream = std::fopen(file("huge.jpg").c_str(), "rb");
        ASSERT_NE(stream, nullptr);
        JpegHead head;
        readJpegHead(stream, head);
        LoadedPicture picture;
        EXPECT_EQ(decodeJpeg(stream, FittedSize{1000, 1000}, c.limit, head, picture), c.loads);
        std::fclose(stream);
        if (c.loads) {
            ASSERT_EQ(picture.image.GetSize(), wxSize(1000, 1000));
            EXPECT_EQ(picture.image.GetRed(999, 999), 128);
            EXPECT_EQ(picture.image.GetGreen(0, 500), 128);
        }
    }
}

// A picture whose preparing throws (out of memory, say) is that picture's
// failure, on the helpers and on the preview's thread: the program goes on.
TEST_F(HostileFiles, APictureThatThrowsIsItsOwnFailure)
{
    BlockingImageHandler::install();
    fs::create_directory(file("album"));
    BlockingImageHandler::writeThrowingPicture(file("album/a.jpg"), 1000, 500);
    writeQuadrantJpeg(file("album/b.jpg"), 1000, 500);
    for (const bool goOn : {true, false}) {
        RecordingOwner owner;
        ProcessingJob job = plainJob(file("album"));
        job.settings.resize = true;
        job.settings.skipUnreadable = goOn;
        owner.run(job);
        const std::vector<std::string> expected =
            goOn ? std::vector<std::string>{statistics(1, 0, 0) + "\nSkipped (cannot be read): 1"}
                 : std::vector<std::string>{cannotOpen};
        EXPECT_EQ(owner.messages(), expected);
    }
    EXPECT_EQ(loadImage(file("album/b.jpg")).GetWidth(), 800);

    std::mutex mutex;
    std::condition_variable changed;
    bool ready = false;
    PicturePreview preview([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ready = true;
        changed.notify_all();
    });
    PreviewRequest request;
    request.folder = file("album");
    request.areaWidth = request.areaHeight = 100;
    preview.show(request);
    PreviewPicture shown;
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return ready; }));
    ASSERT_TRUE(preview.take(shown));
    EXPECT_EQ(shown.path, file("album/b.jpg")) << "the throwing picture is passed over";
    lock.unlock();
    BlockingImageHandler::uninstall();
}

TEST_F(HostileFiles, OnlyJpegPngAndTiffContentIsDecoded)
{
    const wxImage picture = shadedPicture(60, 40);
    static const struct {
        wxBitmapType type;
        bool loads;
    } cases[] = {{wxBITMAP_TYPE_PNG, true}, {wxBITMAP_TYPE_TIFF, true}, {wxBITMAP_TYPE_PCX, false},
                 {wxBITMAP_TYPE_TGA, false}, {wxBITMAP_TYPE_BMP, false}, {wxBITMAP_TYPE_PNM, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_TRUE(picture.SaveFile(wxString::FromUTF8(file("p.jpg")), c.type));
        LoadedPicture loaded;
        EXPECT_EQ(loadPicture(file("p.jpg"), 0, loaded), c.loads);
    }

    // A TIFF whose last strip lies past the end: the toolkit returns the
    // picture with the strip missing and only logs the error.
    ASSERT_TRUE(wxImage(60, 200, true).SaveFile(wxString::FromUTF8(file("p.jpg")), wxBITMAP_TYPE_TIFF));
    std::string bytes = readFile(file("p.jpg"));
    ASSERT_EQ(bytes.substr(0, 4), std::string("II*\0", 4));
    const auto u32 = [&](std::size_t i) {
        std::uint32_t v = 0;
        for (int b = 3; b >= 0; --b)
            v = v << 8 | std::uint8_t(bytes[i + b]);
        return v;
    };
    const std::uint32_t directory = u32(4);
    bool broken = false;
    for (std::uint32_t i = 0, n = u32(directory) & 0xFFFF; i < n; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if ((u32(entry) & 0xFFFF) == 273 && u32(entry + 4) > 1) {  // StripOffsets, held apart
            bytes[u32(entry + 8) + 4 * (u32(entry + 4) - 1) + 3] = '\x7f';
            broken = true;
        }
    }
    ASSERT_TRUE(broken) << "the picture is written in one strip";
    writeFile(file("p.jpg"), Bytes(bytes.begin(), bytes.end()));
    LoadedPicture loaded;
    EXPECT_FALSE(loadPicture(file("p.jpg"), 0, loaded));

    // In a batch: the PCX named .jpg stays as it is.
    fs::create_directory(file("album"));
    ASSERT_TRUE(picture.SaveFile(wxString::FromUTF8(file("album/a.jpg")), wxBITMAP_TYPE_PCX));
    const std::string pcx = readFile(file("album/a.jpg"));
    RecordingOwner owner;
    owner.run(plainJob(file("album")));
    EXPECT_EQ(owner.messages(), std::vector<std::string>{cannotOpen});
    EXPECT_TRUE(readFile(file("album/a.jpg")) == pcx);
}

#ifndef _WIN32
TEST_F(HostileFiles, WriteProtectionIsRespected)
{
    fs::create_directory(file("album"));
    writeQuadrantJpeg(file("album/open.jpg"), 1000, 500);
    writeQuadrantJpeg(file("album/protected.jpg"), 1000, 500);
    writeFile(file("album/prefs.cfg"), {'A', '\n'});
    chmod(file("album").c_str(), 0777);
    chmod(file("album/open.jpg").c_str(), 0666);
    chmod(file("album/protected.jpg").c_str(), 0444);
    chmod(file("album/prefs.cfg").c_str(), 0444);
    chmod(dir.path().c_str(), 0777);
    const std::string protectedBefore = readFile(file("album/protected.jpg"));

    const int status = runAsNobody([&] {
        RecordingOwner owner;
        ProcessingJob job = plainJob(file("album"));
        job.settings.resize = true;
        owner.run(job);
        ReplacingFile prefs(file("album/prefs.cfg"));
        const std::vector<std::string> expected = {
            cannotSave, statisticsNotSaved(1, file("album/protected.jpg") + ": cannot be written: Permission denied", 1)};
        std::string problem;
        replaceFile(file("album/protected.jpg"), {0xFF, 0xD8}, &problem);
        return (owner.messages() == expected ? 0 : 1) | (prefs.open() ? 2 : 0) |
               (problem.find("Permission denied") == std::string::npos ? 4 : 0);
    });
    EXPECT_EQ(status, 0) << "1: wrong messages, 2: prefs.cfg opened for replacing, 4: reason not given";
    EXPECT_TRUE(readFile(file("album/protected.jpg")) == protectedBefore);
    EXPECT_EQ(readFile(file("album/prefs.cfg")), "A\n");
    EXPECT_EQ(loadImage(file("album/open.jpg")).GetWidth(), 800);
    EXPECT_EQ(std::distance(fs::directory_iterator(file("album")), fs::directory_iterator()), 3);
}
#endif

#ifndef _WIN32
// Where no picture can be written, the user hears it once, before the
// question, with the folder and the reason, and nothing starts; one
// protected subfolder among others is a failure of its own pictures only.
TEST_F(HostileFiles, AFolderNothingCanBeSavedInIsSaidOnce)
{
    chmod(dir.path().c_str(), 0777);
    for (const char* folder : {"locked", "open", "open/sub"}) {
        fs::create_directory(file(folder));
        writeQuadrantJpeg(file(folder) + "/a.jpg", 1000, 500);
        chmod((file(folder) + "/a.jpg").c_str(), 0666);
    }
    chmod(file("open").c_str(), 0777);
    for (const char* folder : {"locked", "open/sub"})
        chmod(file(folder).c_str(), 0555);
    const auto cannotSaveIn = [](const std::string& folder) {
        return "Tessaly 1.1|The pictures cannot be saved in the folder:\n\n" + folder +
               "\n\nPermission denied. Nothing has been processed.";
    };
    const struct {
        const char* name;
        std::string folder, output;
        bool subfolders;
        std::vector<std::string> messages;
    } cases[] = {
        {"in place", file("locked"), "", false, {cannotSaveIn(file("locked"))}},
        {"below an output folder that cannot be made", file("open"), file("locked/web"), false,
         {cannotSaveIn(file("locked/web"))}},
        {"one protected subfolder", file("open"), "", true,
         {"confirm", cannotSave,
          statisticsNotSaved(1, file("open/sub/a.jpg") + ": cannot be written: Permission denied", 1)}},
    };
    for (const auto& c : cases) {
        const int status = runAsNobody([&] {
            RecordingOwner owner;
            ProcessingJob job = plainJob(c.folder);
            job.settings.resize = true;
            job.outputFolder = wxString::FromUTF8(c.output);
            job.settings.includeSubdirectories = c.subfolders;
            owner.run(job);
            std::vector<std::string> messages = owner.messages();
            for (const std::string& request : owner.requests())
                if (request.rfind("ask Tessaly 1.0|", 0) == 0)
                    messages.insert(messages.begin(), "confirm");
            return messages == c.messages ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << c.name;
    }
    EXPECT_EQ(loadImage(file("locked/a.jpg")).GetWidth(), 1000);
    EXPECT_EQ(loadImage(file("open/a.jpg")).GetWidth(), 800);
    EXPECT_FALSE(fs::exists(file("locked/web")));
}
#endif

#ifndef _WIN32
// The user may silence the boxes of a batch whose saves fail: the rest are
// counted without one.
TEST_F(HostileFiles, SaveFailureBoxesCanBeSilenced)
{
    chmod(dir.path().c_str(), 0777);
    fs::create_directory(file("album"));
    chmod(file("album").c_str(), 0777);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        writeQuadrantJpeg(file("album/") + name, 1000, 500);
        chmod((file("album/") + name).c_str(), 0444);
    }
    for (const bool tick : {false, true}) {
        const int status = runAsNobody([&] {
            RecordingOwner owner;
            owner.tickCheckBox = tick;
            ProcessingJob job = plainJob(file("album"));
            job.settings.resize = true;
            owner.run(job);
            std::vector<std::string> expected(tick ? 1 : 3, cannotSave);
            expected.push_back(statisticsNotSaved(3, file("album/a.jpg") + ": cannot be written: Permission denied"));
            return owner.messages() == expected ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << (tick ? "ticked" : "not ticked");
    }
}
#endif

#ifndef _WIN32
TEST_F(HostileFiles, EveryPictureOnceWhateverNamesLeadToIt)
{
    for (const char* folder : {"top", "top/album1", "top/album2", "control"})
        fs::create_directory(file(folder));
    writeQuadrantJpeg(file("control/a.jpg"), 300, 200);
    const std::string original = readFile(file("control/a.jpg"));
    for (const char* name : {"top/a.jpg", "top/album1/p.jpg", "top/h1.jpg"})
        fs::copy_file(file("control/a.jpg"), file(name));
    fs::create_symlink("a.jpg", file("top/b.jpg"));
    fs::create_symlink("../album1/p.jpg", file("top/album2/p.jpg"));
    fs::create_hard_link(file("top/h1.jpg"), file("top/h2.jpg"));

    wxImage mark(100, 50, true);
    ProcessingJob job = plainJob(file("control"));
    job.settings.useWatermark = true;
    job.watermarkImage = &mark;
    job.settings.alpha = 0.5;
    RecordingOwner control;
    control.run(job);
    const std::string once = readFile(file("control/a.jpg"));

    job.directory = wxString::FromUTF8(file("top"));
    job.settings.includeSubdirectories = true;
    RecordingOwner owner;
    owner.run(job);
    const std::string ask = owner.requests()[1];
    EXPECT_EQ(ask.substr(ask.rfind(' ') + 1), "4") << "a, album1/p and the two hard links";
    EXPECT_EQ(owner.messages().back(), statistics(0, 0, 4));
    for (const char* name : {"top/a.jpg", "top/album1/p.jpg", "top/h1.jpg", "top/h2.jpg"})
        EXPECT_TRUE(readFile(file(name)) == once) << name << " not watermarked exactly once";
    EXPECT_TRUE(once != original);
}
#endif

#ifndef _WIN32
TEST_F(HostileFiles, OnlyRegularFilesArePictures)
{
    writeQuadrantJpeg(file("a.jpg"), 40, 30);
    ASSERT_EQ(mkfifo(file("fifo.jpg").c_str(), 0644), 0);
    fs::create_directory(file("folder.jpg"));
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", file("socket.jpg").c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    fs::create_symlink("/dev/zero", file("device.jpg"));

    std::vector<std::string> paths;
    ASSERT_TRUE(listPictures(dir.path(), false, paths));
    EXPECT_EQ(paths, std::vector<std::string>{file("a.jpg")});

    // Whoever opens the FIFO anyway (it may appear after the listing) must
    // not wait for a writer.
    const std::string fifo = file("fifo.jpg");
    EXPECT_TRUE(finishesSoon(
        [&] {
            LoadedPicture picture;
            EXPECT_FALSE(loadPicture(fifo, 0, picture));
            MetadataHandler handler(fifo.c_str(), false);
            EXPECT_FALSE(handler.readExif());
        },
        fifo));
    close(sock);
}
#endif

TEST_F(HostileFiles, LongNamesCanBeSaved)
{
    std::string cjk;
    for (int i = 0; i < 83; ++i)
        cjk += u8"写";
    const std::string names[] = {cjk + ".jpg", std::string(251, 'x') + ".jpg"};
    for (const std::string& name : names) {
        ASSERT_LE(name.size(), 255u);
        writeQuadrantJpeg(file(name), 1000, 500);
    }
    ProcessingJob job = plainJob(dir.path());
    job.settings.resize = true;
    RecordingOwner owner;
    owner.run(job);
    EXPECT_EQ(owner.messages(), std::vector<std::string>{statistics(2, 0, 0)});
    for (const std::string& name : names)
        EXPECT_EQ(loadImage(file(name)).GetWidth(), 800);
    // The two pictures and no left-over temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

}  // namespace
