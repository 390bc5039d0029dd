#include <filesystem>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "jpeg/ExifBuilder.h"
#include "jpeg/MetadataHandler.h"

namespace {

class MetadataHandlerTest : public testing::Test {
protected:
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
};

TEST_F(MetadataHandlerTest, WritesItsLogOnConstruction)
{
    { MetadataHandler handler("none.jpg", true); }
    EXPECT_EQ(readFile("MetadataHandler.log"), textFile("MetadataHandler.log \n------------------- \n"));
}

TEST_F(MetadataHandlerTest, DisabledLogCreatesNoFile)
{
    { MetadataHandler handler("none.jpg", false); }
    EXPECT_FALSE(fileExists("MetadataHandler.log"));
}

TEST_F(MetadataHandlerTest, Results)
{
    const Bytes badHeader = segment(0xE1, exifPayload({'M', 'M', 0, 41, 0, 0, 0, 8}));
    static const struct {
        const char* name;
        Bytes bytes;
        bool read;
        int orientation;
    } cases[] = {
        {"not a JPEG", {'G', 'I', 'F', '8'}, false, 0},
        {"no Exif", jpegOf({segment(0xDB, {0}), sosSegment()}), false, 0},
        {"header rejected", jpegOf({badHeader, sosSegment()}), false, 0},
        {"orientation 6 MM", jpegWithOrientation(true, 6), true, 6},
        {"orientation 3 II", jpegWithOrientation(false, 3), true, 3},
        {"orientation 1", jpegWithOrientation(false, 1), true, 1},
        {"orientation 9", jpegWithOrientation(true, 9), true, 0},
        {"no orientation entry", jpegOf({segment(0xE1, exifPayload(tiffData(false, {}))), sosSegment()}), true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("picture.jpg", c.bytes);
        MetadataHandler handler("picture.jpg", true);
        EXPECT_EQ(handler.readExif(), c.read);
        EXPECT_EQ(handler.orientation(), c.orientation);
    }
}

TEST_F(MetadataHandlerTest, MissingFileLeavesTheRecord)
{
    writeFile("picture.jpg", jpegWithOrientation(false, 5));
    std::string path = "picture.jpg";
    MetadataHandler handler(path.c_str(), false);
    EXPECT_TRUE(handler.readExif());
    std::filesystem::remove("picture.jpg");
    EXPECT_FALSE(handler.readExif());
    EXPECT_EQ(handler.orientation(), 5);
}

TEST_F(MetadataHandlerTest, Utf8Path)
{
    std::filesystem::create_directory(std::filesystem::u8path(u8"Ürlaub"));
    const std::string path = u8"Ürlaub/été 1.jpg";
    writeFile(path, jpegWithOrientation(true, 8));
    MetadataHandler handler(path.c_str(), true);
    EXPECT_TRUE(handler.readExif());
    EXPECT_EQ(handler.orientation(), 8);
}

}  // namespace
