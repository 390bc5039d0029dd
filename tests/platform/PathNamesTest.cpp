// Paths joined, split and decided as the program does it, one table for
// both systems; Windows' own spellings in rows of their own.
#include <filesystem>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "platform/FileAccess.h"
#include "platform/PathNames.h"

namespace fs = std::filesystem;

namespace {

TEST(PathNames, SplitAndJoined)
{
    static const struct {
        const char* path;
        const char* base;
        const char* stem;
        const char* extension;
        const char* normal;
    } cases[] = {
        {"a/b.jpg", "b.jpg", "b", ".jpg", "a/b.jpg"},
        {"a.b/c", "c", "c", "", "a.b/c"},
        {"a/.hidden", ".hidden", ".hidden", "", "a/.hidden"},
        {"x.tar.gz", "x.tar.gz", "x.tar", ".gz", "x.tar.gz"},
        {"photos/new/..", "..", "..", "", "photos"},
        {"./a//b/", "b", "b", "", "a/b"},
        {"a/../..", "..", "..", "", ".."},
        {"a/./b/../../c", "c", "c", "", "c"},
        {"/..", "..", "..", "", "/"},
        {"/x/../../y", "y", "y", "", "/y"},
        {"..", "..", "..", "", ".."},
        {".", ".", ".", "", "."},
#ifdef _WIN32
        {"C:\\photos\\", "photos", "photos", "", "C:/photos"},
        {"C:\\a\\..\\..\\b.jpg", "b.jpg", "b", ".jpg", "C:/b.jpg"},
        {"\\\\server\\share\\..\\x", "x", "x", "", "//server/share/x"},
        {"a\\b/c.JPG", "c.JPG", "c", ".JPG", "a/b/c.JPG"},
#else
        {"a\\b.jpg", "a\\b.jpg", "a\\b", ".jpg", "a\\b.jpg"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(baseName(c.path), c.base);
        EXPECT_EQ(stemOf(c.path), c.stem);
        EXPECT_EQ(extensionOf(c.path), c.extension);
        EXPECT_EQ(normalPath(c.path), c.normal);
    }

    static const struct {
        const char* folder;
        const char* path;
        const char* relative;
    } below[] = {
        {"a", "a/b/c.jpg", "b/c.jpg"},
        {"a/", "a/b/c.jpg", "b/c.jpg"},
        {"/", "/c.jpg", "c.jpg"},
#ifdef _WIN32
        // Typed with a "\" at its end, in a list or a folder box.
        {"C:\\photos\\", "C:\\photos\\IMG_1.jpg", "IMG_1.jpg"},
        {"C:\\", "C:\\photos\\a.jpg", "photos\\a.jpg"},
#endif
    };
    for (const auto& c : below) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(relativePath(c.folder, c.path), c.relative);
        EXPECT_EQ(normalPath(joinPath(c.folder, c.relative)), normalPath(c.path));
    }
}

// The folder checked is the folder written: a name is decided as written,
// its part that does not exist yet taken lexically.
TEST(PathNames, DecidedAsWritten)
{
    TempDir dir;
    WorkingDirectory cwd(dir.path());
    fs::create_directories(fs::u8path(dir.file("photos/sub")));
    const std::string photos = canonicalPath(dir.file("photos"));
    static const struct {
        const char* path;
        const char* leadsTo;  // below the real path of photos' folder
        bool isPhotos;
        bool withinPhotos;
    } cases[] = {
        {"photos", "photos", true, true},
        {"photos/new/..", "photos", true, true},
        {"photos/new/../../photos/./", "photos", true, true},
        {"photos/sub/..", "photos", true, true},
        {"./photos//", "photos", true, true},
        {"photos/new", "photos/new", false, true},
        {"photos/new/deeper/../..", "photos", true, true},
        {"out/new/..", "out", false, false},
        {"photos/sub", "photos/sub", false, true},
        {"photos/..", "", false, false},
        {"photosx", "photosx", false, false},
    };
    const std::string top = folderOf(photos);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(decidedPath(c.path), *c.leadsTo ? joinPath(top, c.leadsTo) : top);
        EXPECT_EQ(samePlace(c.path, "photos"), c.isPhotos);
        EXPECT_EQ(liesWithin(c.path, "photos"), c.withinPhotos);
    }
    EXPECT_FALSE(liesWithin("photos", "photos/sub"));
    EXPECT_TRUE(liesWithin("photos/sub/new/x", "photos/sub"));
#ifdef _WIN32
    EXPECT_TRUE(samePlace("PHOTOS/new/..", "photos")) << "NTFS ignores letter case";
#else
    fs::create_directory_symlink(fs::u8path(dir.file("photos")), fs::u8path(dir.file("link")));
    EXPECT_TRUE(samePlace("link/new/..", "photos"));
    EXPECT_TRUE(samePlace("link", "photos"));
    EXPECT_FALSE(samePlace("PHOTOS", "photos")) << "a folder of its own on a case-sensitive system";
#endif
}

}  // namespace
