#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "batch/BatchTestSupport.h"
#include "batch/NameTemplate.h"
#include "batch/ResultNames.h"
#include "batch/TestJpeg.h"
#include "jpeg/ExifBuilder.h"

namespace {

// A small JPEG that says when and with what it was taken.
void writeTaggedJpeg(const std::string& path, const std::string& date, const std::string& model)
{
    const Bytes plain = encodeJpeg(shadedPicture(64, 48), false);
    const Bytes exif = segment(0xE1, exifWithTexts(false, {{0x0110, model}}, {{0x9003, date}}));
    writeFile(path, Bytes(plain.begin(), plain.begin() + 2) + exif + Bytes(plain.begin() + 2, plain.end()));
}

}  // namespace

// Names by template, in the batch's order, told apart where they meet.
TEST(ResultNames, ByTemplate)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("album/Sub"));
    writeTaggedJpeg(dir.file("album/a.jpg"), "2024:05:01 10:20:30", "AC/DC: Live");
    writeTaggedJpeg(dir.file("album/B.JPG"), "2024:05:01 10:20:30", "");
    writeQuadrantJpeg(dir.file("album/Sub/c.jpeg"), 1460, 1030, 6);
    const std::vector<std::string> paths = {dir.file("album/a.jpg"), dir.file("album/B.JPG"),
                                            dir.file("album/Sub/c.jpeg")};
    static const struct {
        const char* nameTemplate;
        const char* format;
        std::vector<std::string> expected;
    } cases[] = {
        {"", "jpeg", {"a.jpg", "B.JPG", "Sub/c.jpeg"}},
        // Empty tokens take the separators that joined them along.
        {"{date}_{time}_{name}", "jpeg", {"2024-05-01_10-20-30_a.jpg", "2024-05-01_10-20-30_B.JPG", "c.jpeg"}},
        {"{name}-{camera} {date}", "jpeg", {"a-AC_DC- Live 2024-05-01.jpg", "B-2024-05-01.JPG", "c.jpeg"}},
        {"{date}_{name}_{time}", "jpeg", {"2024-05-01_a_10-20-30.jpg", "2024-05-01_B_10-20-30.JPG", "c.jpeg"}},
        {"{camera}_x", "jpeg", {"AC_DC- Live_x.jpg", "x.JPG", "x.jpeg"}},
        {"{year|undated}/{camera|unknown}/{name}-{counter:3}", "jpeg",
         {"2024/AC_DC- Live/a-001.jpg", "2024/unknown/B-002.JPG", "undated/unknown/c-003.jpeg"}},
        {"{counter:2,9} {folder}", "jpeg", {"09 album.jpg", "10 album.JPG", "11 Sub.jpeg"}},
        // Letter case aside, one name: the later ones numbered.
        {"{folder}", "jpeg", {"album.jpg", "album (2).JPG", "Sub.jpeg"}},
        {"x", "webp", {"x.webp", "x (2).webp", "x (3).webp"}},
        // The result's size, as it stands once turned.
        {"{width}x{height}", "jpeg", {"64x48.jpg", "64x48 (2).JPG", "564x800.jpeg"}},
        {"CON/a.", "jpeg", {"CON_/a.jpg", "CON_/a (2).JPG", "CON_/a.jpeg"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nameTemplate);
        BatchSettings settings;
        settings.width = 800;
        settings.nameTemplate = c.nameTemplate;
        settings.outputFormat = c.format;
        const ResultNames names(settings, dir.file("album"), paths, true);
        for (std::size_t i = 0; i < paths.size(); ++i)
            EXPECT_EQ(names.of(paths[i]), c.expected[i]);
        EXPECT_EQ(resultNameOf(settings, dir.file("album"), paths[0], 0, true), c.expected[0]);
    }
    // WebP results of a.jpg and a.jpeg, beside them: told apart too.
    writeQuadrantJpeg(dir.file("album/a.jpeg"), 10, 10);
    BatchSettings webp;
    webp.outputFormat = "webp";
    const std::vector<std::string> twins = {paths[0], dir.file("album/a.jpeg")};
    EXPECT_EQ(ResultNames(webp, dir.file("album"), twins, false).of(twins[1]), "a (2).webp");
    // In place, names never change.
    BatchSettings inPlace;
    inPlace.nameTemplate = "{date}";
    EXPECT_EQ(ResultNames(inPlace, dir.file("album"), paths, false).of(paths[0]), "a.jpg");

    NameTemplate parsed;
    std::string error;
    for (const auto& [text, says] : std::vector<std::pair<std::string, std::string>>{
             {"{counter:0}", "DIGITS from 1 to 9"},
             {"{counter:3,x}", "{counter:DIGITS,START}"},
             {"{year:3}", "takes nothing after"},
             {"{yaer}", "unknown"},
             {"photos/", "names no file"},
             {"", "names no file"}}) {
        EXPECT_FALSE(NameTemplate::parse(text, parsed, error)) << text;
        EXPECT_NE(error.find(says), std::string::npos) << error;
    }
}

// In a results folder, names that a case-blind system takes for one file
// are told apart, as is a file where another result needs a folder; a
// folder where an earlier result is a file cannot be, and is said so.
TEST(ResultNames, OneFileOnEverySystem)
{
    const std::string folder = "album";
    const std::vector<std::string> paths = {"album/\xC3\x89mile.jpg", "album/\xC3\xA9mile.jpg",
                                            "album/e\xCC\x81mile.jpg", "album/X.JPG/y.jpg", "album/x.jpg",
                                            "album/z.jpg", "album/Z.JPG/w.jpg"};
    const ResultNames names(BatchSettings{}, folder, paths, true);
    const std::vector<std::string> expected = {"\xC3\x89mile.jpg", "\xC3\xA9mile (2).jpg", "e\xCC\x81mile (3).jpg",
                                               "X.JPG/y.jpg", "x (2).jpg", "z.jpg", "Z.JPG/w.jpg"};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        EXPECT_EQ(names.of(paths[i]), expected[i]);
        EXPECT_EQ(names.clashes(paths[i]), i == 6);
    }
    // In place, each keeps its own.
    EXPECT_EQ(ResultNames(BatchSettings{}, folder, paths, false).of(paths[1]), "\xC3\xA9mile.jpg");
}
