#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/DefaultProgram.h"
#include "platform/FileAccess.h"
#include "platform/FileCallFaults.h"
#include "platform/FileStamp.h"
#include "platform/FolderAccess.h"
#include "platform/PathNames.h"
#include "platform/PictureList.h"
#include "platform/RegularFile.h"
#include "platform/ReparseTag.h"
#include "platform/ReplacingFile.h"
#include "platform/ResultWriter.h"

namespace fs = std::filesystem;

namespace {

// The same promises on both systems, with the same table; names in UTF-8.

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(fs::u8path(path), std::ios::binary) << text;
}

// A link to a folder: a symbolic link here, a junction on Windows, which
// Windows makes without the right that symbolic links need.
void linkFolder(const std::string& link, const std::string& target)
{
#ifdef _WIN32
    std::string command = "cmd /c mklink /J \"" + link + "\" \"" + target + "\" >NUL";
    for (char& c : command)
        if (c == '/')
            c = '\\';
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
#else
    fs::create_directory_symlink(fs::u8path(target), fs::u8path(link));
#endif
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::u8path(folder)))
        names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FileLayer, ReplacingFileIsAllOrNothing)
{
    const struct {
        const char* name;
        bool existed, keepTimes, commit;
    } cases[] = {{"new.jpg", false, false, true},
                 {u8"Straße Фото.jpg", true, true, true},
                 {"kept.jpg", true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file(c.name);
        if (c.existed) {
            writeText(path, "old");
            fs::last_write_time(fs::u8path(path), fs::file_time_type::clock::now() - std::chrono::hours(48));
        }
        const auto before = c.existed ? fs::last_write_time(fs::u8path(path)) : fs::file_time_type{};
        const FileStamp stamp = fileStamp(path);
        {
            ReplacingFile file(path);
            ASSERT_TRUE(file.open());
            ASSERT_TRUE(file.write(std::string(100000, 'n')));
            if (c.commit) {
                ASSERT_TRUE(file.commit(c.keepTimes)) << file.error();
            }
        }
        EXPECT_EQ(readFile(path), c.commit ? std::string(100000, 'n') : c.existed ? "old" : "");
        EXPECT_EQ(namesIn(dir.path()).size(), c.existed || c.commit ? 1u : 0u) << "a temporary file left";
        if (c.existed && c.keepTimes) {
            EXPECT_EQ(fs::last_write_time(fs::u8path(path)), before);
        }
        EXPECT_EQ(fileStamp(path) == stamp, !c.commit);
    }
}

// A result that appears while another is written under its name (a second
// run, a sync client) is replaced only with overwrite: the write notices it
// at the rename, not before.
TEST(FileLayer, AResultThatAppearsMeanwhile)
{
    TempDir dir;
    const std::string output = dir.file("out");
    fs::create_directories(fs::u8path(output));
    const ResultWriter writer(output);
    bool appeared = false;
    for (std::size_t size = std::size_t(16) << 20; !appeared && size <= (std::size_t(256) << 20); size *= 2) {
        fs::remove(fs::u8path(output + "/p.jpg"));
        std::atomic<bool> writing{true};
        std::thread other([&] {
            // As soon as the temporary file is there, the result appears.
            while (writing && !appeared) {
                for (const std::string& name : namesIn(output))
                    if (name.find("tessaly-unfinished") != std::string::npos) {
                        writeText(output + "/p.jpg", "theirs");
                        appeared = true;
                    }
            }
        });
        std::string problem;
        const WriteOutcome written =
            writer.write("p.jpg", std::vector<unsigned char>(size, 'x'), false, timespec{}, problem);
        writing = false;
        other.join();
        if (!appeared)
            continue;
        EXPECT_EQ(written, WriteOutcome::exists);
        EXPECT_EQ(problem, "not written: " + writer.pathOf("p.jpg") + " already exists");
        EXPECT_EQ(readFile(output + "/p.jpg"), "theirs");
        EXPECT_EQ(namesIn(output), std::vector<std::string>{"p.jpg"}) << "a temporary file left";
    }
    EXPECT_TRUE(appeared) << "the write was always over before the other file could appear";
}

TEST(FileLayer, ResultWriterReplacesOnlyWhenAllowed)
{
    const struct {
        const char* relative;
        bool overwrite;
        bool written;
        const char* content;  // what the file holds afterwards
    } cases[] = {
        {u8"Urlaub 2024/Straße/Фото.jpg", false, true, "new"},
        {"mine.jpg", false, false, "mine"},
        {"mine.jpg", true, true, "new"},
        // Beyond Windows' old 260-character limit.
        {"0123456789012345678901234567890123456789/0123456789012345678901234567890123456789/"
         "0123456789012345678901234567890123456789/0123456789012345678901234567890123456789/"
         "0123456789012345678901234567890123456789/0123456789012345678901234567890123456789/"
         "0123456789012345678901234567890123456789.jpg",
         false, true, "new"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.relative);
        TempDir dir;
        const std::string output = dir.file("out");
        fs::create_directories(fs::u8path(output));
        writeText(output + "/mine.jpg", "mine");
        const ResultWriter writer(output);
        std::string problem;
        EXPECT_EQ(writer.write(c.relative, {'n', 'e', 'w'}, c.overwrite, timespec{1700000000, 0}, problem),
                  c.written ? WriteOutcome::written : WriteOutcome::exists);
        EXPECT_EQ(problem, c.written ? "" : "not written: " + writer.pathOf(c.relative) + " already exists");
        EXPECT_EQ(readFile(writer.pathOf(c.relative)), c.content);
        EXPECT_EQ(writer.existing("mine.jpg"), ResultWriter::Existing::file);
        EXPECT_EQ(writer.existing("none/a.jpg"), ResultWriter::Existing::none);
        EXPECT_EQ(namesIn(output).size(), c.overwrite || !c.written ? 1u : 2u) << "a temporary file left";
    }
}

// What stands at a result's name decides the write, and the question
// asked without writing gets the same answer; where the system cannot
// rename without replacing (NFS, some FUSE file systems) a link does it.
TEST(FileLayer, WriterOutcomes)
{
    enum class There { nothing, file, folder, link, fileOnTheWay };
    const struct {
        There there;
        bool overwrite;
        WriteOutcome outcome;
    } cases[] = {
        {There::nothing, false, WriteOutcome::written},
        {There::file, false, WriteOutcome::exists},
        {There::file, true, WriteOutcome::written},
        {There::folder, true, WriteOutcome::notAFile},
        {There::fileOnTheWay, true, WriteOutcome::notAFile},
#ifndef _WIN32
        // Wine makes no junction: see FileLayer.Links.
        {There::link, true, WriteOutcome::linkInWay},
#endif
    };
    for (const int renameFault : {0, EINVAL})
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "row " << &c - cases << ", rename fault " << renameFault);
            TempDir dir;
            const std::string output = dir.file("out");
            fs::create_directories(fs::u8path(output + "/elsewhere"));
            const std::string relative = c.there == There::fileOnTheWay ? "p.jpg/x.jpg" : "p.jpg";
            if (c.there == There::file || c.there == There::fileOnTheWay)
                writeText(output + "/p.jpg", "old");
            if (c.there == There::folder)
                fs::create_directory(fs::u8path(output + "/p.jpg"));
            if (c.there == There::link)
                linkFolder(output + "/p.jpg", output + "/elsewhere");
            const std::vector<std::string> before = namesIn(output);
            const ResultWriter writer(output);
            std::string asked, problem;
            EXPECT_EQ(writer.wouldWrite(relative, c.overwrite, asked), c.outcome) << asked;
            EXPECT_EQ(namesIn(output), before) << "asking wrote";
            fileCallFaults().renameNoReplace = renameFault;
            EXPECT_EQ(writer.write(relative, {'n', 'e', 'w'}, c.overwrite, timespec{}, problem), c.outcome);
            fileCallFaults() = FileCallFaults{};
            EXPECT_EQ(problem, asked);
            EXPECT_EQ(problem.empty(), c.outcome == WriteOutcome::written) << problem;
            const bool written = c.outcome == WriteOutcome::written;
            if (c.there != There::folder && c.there != There::link) {
                EXPECT_EQ(readFile(output + "/p.jpg"), written ? "new" : "old");
            }
            EXPECT_EQ(namesIn(output).size(), before.size() + (written && c.there == There::nothing))
                << "a temporary file left";
        }
}

// Whatever ReplaceFileW answers when another program holds the original
// (Windows), the original or the new picture is in its place and nothing
// is left beside it; the same table replaces plainly on Linux.
TEST(FileLayer, ReplaceKeepsTheOriginal)
{
    for (const unsigned long fault : {0ul, 1175ul, 1176ul, 1177ul}) {
        SCOPED_TRACE(fault);
        TempDir dir;
        const std::string path = dir.file("p.jpg");
        writeText(path, "old");
        fileCallFaults().replaceFile = fault;
        bool committed = false;
        {
            ReplacingFile file(path);
            committed = file.open() && file.write(std::string("new")) && file.commit(false);
        }
        fileCallFaults() = FileCallFaults{};
        EXPECT_TRUE(committed);
        EXPECT_EQ(readFile(path), "new");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"p.jpg"});
    }
}

// Past Windows' old 260-character limit, a path relative to the working
// folder and with ".." in it is replaced as an absolute one is.
TEST(FileLayer, LongRelativePaths)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    std::string folders;
    for (int i = 0; i < 8; ++i)
        folders += std::string(40, static_cast<char>('a' + i)) + "/";
    fs::create_directory(fs::u8path(dir.file("x")));
    std::string problem;
    ASSERT_EQ(ResultWriter(dir.path()).write(folders + "p.jpg", {'o', 'l', 'd'}, false, timespec{}, problem),
              WriteOutcome::written)
        << problem;
    const std::string relative = "x/../" + folders + "p.jpg";
    ASSERT_GT(relative.size(), 300u);
    {
        ReplacingFile file(relative);
        ASSERT_TRUE(file.open()) << file.error();
        ASSERT_TRUE(file.write(std::string("new")));
        ASSERT_TRUE(file.commit(false)) << file.error();
    }
    std::FILE* replaced = openRegularFile(dir.file(folders + "p.jpg"));
    ASSERT_TRUE(replaced);
    char content[8] = {};
    EXPECT_EQ(std::fread(content, 1, sizeof content, replaced), 3u);
    std::fclose(replaced);
    EXPECT_STREQ(content, "new");
}

TEST(FileLayer, ListsPicturesInNameOrder)
{
    TempDir dir;
    const std::string top = dir.file(u8"Фото");
    fs::create_directories(fs::u8path(top + "/sub"));
    fs::create_directories(fs::u8path(top + "/.hidden"));
    for (const char* name : {"b.JPG", "a.jpeg", "c.txt", ".d.jpg", "sub/e.jpg", ".hidden/f.jpg"})
        writeText(top + "/" + name, "x");
    fs::create_directory(fs::u8path(top + "/g.jpg"));  // a folder is no picture
    const struct {
        bool subfolders;
        std::vector<std::string> names;
    } cases[] = {{false, {"a.jpeg", "b.JPG"}},
                 {true, {".d.jpg", ".hidden/f.jpg", "a.jpeg", "b.JPG", "sub/e.jpg"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subfolders);
        std::vector<std::string> paths;
        ASSERT_TRUE(listPictures(top, c.subfolders, paths));
        std::vector<std::string> names;
        for (const std::string& path : paths)
            names.push_back(relativePath(top, path));
        EXPECT_EQ(names, c.names);
    }
    std::vector<std::string> paths;
    EXPECT_FALSE(listPictures(dir.file("missing"), false, paths));
}

// A link to a folder, below an output folder, in a listed tree or on the
// way to a file: never written through, met once, seen through by name.
TEST(FileLayer, Links)
{
    TempDir dir;
    const std::string output = dir.file("out"), elsewhere = dir.file("elsewhere");
    fs::create_directories(fs::u8path(output));
    fs::create_directories(fs::u8path(elsewhere + "/sub"));
    writeText(elsewhere + "/sub/a.jpg", "x");
    linkFolder(output + "/linked", elsewhere);
    const ResultWriter writer(output);
    for (const char* relative : {"linked/a.jpg", "linked"}) {
        SCOPED_TRACE(relative);
        std::string problem;
        EXPECT_EQ(writer.write(relative, {'n', 'e', 'w'}, true, timespec{}, problem), WriteOutcome::linkInWay);
        EXPECT_NE(problem.find(writer.pathOf("linked") + " is a symbolic link"), std::string::npos) << problem;
    }
    EXPECT_EQ(namesIn(elsewhere), std::vector<std::string>{"sub"}) << "written through a link";
    EXPECT_EQ(writer.existing("linked"), ResultWriter::Existing::link);

    linkFolder(elsewhere + "/sub/loop", elsewhere);
    std::vector<std::string> paths;
    ASSERT_TRUE(listPictures(elsewhere, true, paths));
    EXPECT_EQ(paths, std::vector<std::string>{elsewhere + "/sub/a.jpg"});
    EXPECT_EQ(canonicalPath(output + "/linked/sub/a.jpg"), canonicalPath(elsewhere + "/sub/a.jpg"));
}

TEST(FileLayer, NamesAndChecks)
{
    TempDir dir;
    const std::string folder = dir.file(u8"Straße");
    fs::create_directory(fs::u8path(folder));
    writeText(folder + "/a.jpg", "x");
    EXPECT_EQ(canonicalPath(folder + "/./a.jpg"), canonicalPath(folder + "/a.jpg"));
    EXPECT_NE(canonicalPath(folder + "/a.jpg"), "");
    EXPECT_EQ(canonicalPath(folder + "/none.jpg"), "");
    std::string why;
    EXPECT_TRUE(canRead(folder + "/a.jpg", why));
    EXPECT_FALSE(canRead(folder + "/none.jpg", why));
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_FALSE(noFolderAt(folder));
    EXPECT_TRUE(noFolderAt(folder + "/a.jpg"));
    EXPECT_TRUE(noFolderAt(folder + "/none"));
    EXPECT_TRUE(canCreateFilesIn(folder, why)) << why;
    EXPECT_TRUE(canCreateFolder(folder + "/new/deeper", why)) << why;
    EXPECT_FALSE(canCreateFilesIn(folder + "/a.jpg", why));
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"a.jpg"}) << "a probe left behind";

    EXPECT_TRUE(samePlace(folder + "/.", folder));
    EXPECT_FALSE(samePlace(folder, dir.path()));
    EXPECT_EQ(folderName(folder + "/./"), u8"Straße");
    EXPECT_EQ(fullPath(folder + "/none.jpg"), folder + "/none.jpg");
    static const struct {
        const char* path;
        const char* folder;
    } folders[] = {
        {"/a.jpg", "/"},
        {"/x/y/a.jpg", "/x/y"},
        {"a.jpg", "."},
#ifdef _WIN32
        {"C:/a.jpg", "C:/"},
        {"C:\\a.jpg", "C:\\"},
        {"C:\\x\\a.jpg", "C:\\x"},
#endif
    };
    for (const auto& c : folders)
        EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
#ifdef _WIN32
    // Help names the manual's place when nothing opens PDF files.
    EXPECT_FALSE(hasDefaultProgramFor(".tessaly-nothing-opens-this"));
#endif
}

// Links and junctions are never followed; cloud placeholders (a OneDrive
// Pictures folder) and other reparse points are taken as what they seem.
TEST(FileLayer, ReparseTags)
{
    static const struct {
        unsigned long tag;
        bool link;
    } tags[] = {
        {0xA000000CUL, true},   // symbolic link
        {0xA0000003UL, true},   // junction (mount point)
        {0xA000001DUL, true},   // WSL's symbolic link
        {0x9000001AUL, false},  // cloud file, OneDrive's placeholder
        {0x9000701AUL, false},  // cloud file, another provider's
        {0x80000013UL, false},  // deduplicated
        {0x80000017UL, false},  // compressed by Windows (WOF)
        {0x80000021UL, false},  // OneDrive
    };
    for (const auto& t : tags)
        EXPECT_EQ(reparseTagIsLink(t.tag), t.link) << std::hex << t.tag;
}

// A picture edited in place keeps its file and often its size: only its
// times tell it from what was read.
TEST(FileLayer, StampSeesAnEditOfTheSameSize)
{
    TempDir dir;
    const std::string path = dir.file("p.jpg");
    writeText(path, "before");
    const FileStamp before = fileStamp(path);
    EXPECT_TRUE(before == fileStamp(path));
    writeText(path, "after!");
    fs::last_write_time(fs::u8path(path), fs::last_write_time(fs::u8path(path)) + std::chrono::seconds(2));
    const FileStamp after = fileStamp(path);
    EXPECT_EQ(after.size, before.size);
    EXPECT_FALSE(before == after);
}

}  // namespace
