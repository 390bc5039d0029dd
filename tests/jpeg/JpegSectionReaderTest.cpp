#include <gtest/gtest.h>

#include "jpeg/ReaderRun.h"

namespace {

const Bytes soi = {0xFF, 0xD8};
const Bytes exifApp1 = segment(0xE1, exifPayload(tiffData(false, {orientationShort(6)})));

Bytes repeat(const Bytes& part, int times)
{
    Bytes out;
    for (int i = 0; i < times; ++i)
        out = out + part;
    return out;
}

TEST(JpegSectionReader, EndingsAndMessages)
{
    const Bytes dqt = segment(0xDB, {0, 1, 2});
    static const struct {
        const char* name;
        Bytes bytes;
        bool result;
        const char* error;
        const char* output;
        std::vector<int> markers;
    } cases[] = {
        {"not a JPEG", {0x89, 'P', 'N', 'G'}, false, "", "", {}},
        {"empty file", {}, false, "", "", {}},
        {"SOI then SOS", soi + sosSegment(), true, "", "", {0xDA}},
        {"six fill bytes", soi + Bytes(6, 0xFF) + Bytes{0xDB, 0, 2} + sosSegment(), true, "", "", {0xDB, 0xDA}},
        // The marker's own 0xFF behind the fill.
        {"65,536 fill bytes", soi + Bytes(65537, 0xFF) + Bytes{0xDB, 0, 2} + sosSegment(), true, "", "",
         {0xDB, 0xDA}},
        {"65,537 fill bytes", soi + Bytes(65538, 0xFF) + Bytes{0xDB, 0, 2}, false, "",
         "too many padding unsigned chars\n", {}},
        // libjpeg passes over such bytes with a warning and decodes the picture.
        {"stray bytes and a stuffed zero passed over", soi + dqt + Bytes{0x12, 0, 3, 0xFF, 0, 9} + sosSegment(),
         true, "", "", {0xDB, 0xDA}},
        {"stray bytes then the end", soi + dqt + Bytes{0x12}, false, "invalid marker", "", {0xDB}},
        {"length 0", soi + Bytes{0xFF, 0xDB, 0, 0}, false, "invalid marker", "", {}},
        {"length 1", soi + Bytes{0xFF, 0xDB, 0, 1}, false, "invalid marker", "", {}},
        {"length 2, empty payload", soi + Bytes{0xFF, 0xC4, 0, 2} + sosSegment(), true, "", "", {0xC4, 0xDA}},
        {"payload cut short", soi + Bytes{0xFF, 0xDB, 0, 10, 1, 2, 3}, false, "Premature end of file?", "", {}},
        {"ends after a complete section", soi + dqt, false, "invalid marker", "", {0xDB}},
        {"one length byte then end", soi + Bytes{0xFF, 0xDB, 0x10}, false, "invalid marker", "", {}},
        {"EOI as last byte", soi + dqt + Bytes{0xFF, 0xD9}, false, "invalid marker", "", {0xDB}},
        {"EOI with a length", soi + dqt + Bytes{0xFF, 0xD9, 0, 2}, false, "", "No image in jpeg!\n",
         {0xDB, 0xD9}},
        {"APP0 discarded", soi + segment(0xE0, {'J', 'F', 'I', 'F', 0}) + sosSegment(), true, "", "", {0xDA}},
        {"non-Exif APP1 discarded", soi + segment(0xE1, {'h', 't', 't', 'p'}) + sosSegment(), true, "", "",
         {0xDA}},
        {"short APP1 discarded", soi + segment(0xE1, {'E', 'x', 'i'}) + sosSegment(), true, "", "", {0xDA}},
        {"second comment discarded",
         soi + segment(0xFE, {'a'}) + segment(0xFE, {'b'}) + segment(0xFE, {'c'}) + sosSegment(), true, "", "",
         {0xFE, 0xDA}},
        {"Exif APP1 retained", soi + exifApp1 + sosSegment(), true, "", "", {0xE1, 0xDA}},
        {"APP2 and DRI retained", soi + segment(0xE2, {1}) + segment(0xDD, {0, 0}) + sosSegment(), true, "", "",
         {0xE2, 0xDD, 0xDA}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReaderRun run(c.bytes);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.errorText, c.error);
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(run.markers, c.markers);
    }
}

TEST(JpegSectionReader, NotAJpegLeavesTheRecordAlone)
{
    const ReaderRun run({0x00, 0xD8, 0xFF, 0xE1}, ExifInfo{true, 7});
    EXPECT_FALSE(run.result);
    EXPECT_TRUE(run.info.exifRead);
    EXPECT_EQ(run.info.orientation, 7);
}

TEST(JpegSectionReader, TwentySectionLimit)
{
    const Bytes dqt = segment(0xDB, {0});
    const Bytes ignored = segment(0xE0, {1}) + segment(0xE1, {'x', 'y', 'z', 'w'}) + segment(0xFE, {2});
    static const struct {
        const char* name;
        Bytes bytes;
        bool result;
        const char* error;
        int count;
    } cases[] = {
        {"19 sections then SOS", soi + repeat(dqt, 19) + sosSegment(), true, "", 20},
        {"20 sections then SOS", soi + repeat(dqt, 20) + sosSegment(), false, "Too many sections in jpg file", 20},
        {"discarded sections do not count",
         soi + segment(0xFE, {0}) + repeat(dqt + ignored, 18) + sosSegment(), true, "", 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReaderRun run(c.bytes);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.errorText, c.error);
        EXPECT_EQ(run.count, c.count);
    }
}

TEST(JpegSectionReader, ExifResults)
{
    const Bytes rejected = segment(0xE1, exifPayload({'X', 'X', 0, 42}));
    const Bytes exif3 = segment(0xE1, exifPayload(tiffData(true, {orientationShort(3)})));
    static const struct {
        const char* name;
        Bytes bytes;
        bool result;
        bool exifRead;
        int orientation;
        std::vector<int> markers;
    } cases[] = {
        {"no Exif", soi + sosSegment(), true, false, 0, {0xDA}},
        {"rejected Exif retained", soi + rejected + sosSegment(), true, false, 0, {0xE1, 0xDA}},
        {"later Exif section sets anew", soi + rejected + exifApp1 + sosSegment(), true, true, 6,
         {0xE1, 0xE1, 0xDA}},
        {"rejected after accepted", soi + exifApp1 + rejected + sosSegment(), true, false, 6, {0xE1, 0xE1, 0xDA}},
        {"second Exif overrides", soi + exifApp1 + exif3 + sosSegment(), true, true, 3, {0xE1, 0xE1, 0xDA}},
        {"three stray bytes before the Exif section",
         soi + segment(0xE0, {'J', 'F', 'I', 'F', 0}) + Bytes{0x20, 0, 0x0A} + exifApp1 + sosSegment(), true, true, 6,
         {0xE1, 0xDA}},
        {"truncated after Exif", soi + exifApp1 + Bytes{0xFF, 0xDB, 0, 40, 1}, false, true, 6, {0xE1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReaderRun run(c.bytes);
        EXPECT_EQ(run.result, c.result);
        EXPECT_EQ(run.info.exifRead, c.exifRead);
        EXPECT_EQ(run.info.orientation, c.orientation);
        EXPECT_EQ(run.markers, c.markers);
    }
}

// Cutting a valid file anywhere must never read out of bounds, and once the
// Exif section is complete its orientation must be known.
TEST(JpegSectionReader, TruncatedAtEveryLength)
{
    for (bool big : {false, true}) {
        const Bytes full = jpegOf({segment(0xE0, {'J', 'F', 'I', 'F', 0}),
                                   segment(0xE1, exifPayload(tiffData(big, {orientationShort(8)}))),
                                   segment(0xDB, Bytes(64, 1)), sosSegment()}) +
                           Bytes(100, 0x55);
        const std::size_t exifEnd = 2 + 9 + 4 + 6 + 26;
        for (std::size_t length = 0; length <= full.size(); ++length) {
            SCOPED_TRACE(length);
            const ReaderRun run(Bytes(full.begin(), full.begin() + static_cast<long>(length)));
            EXPECT_EQ(run.info.exifRead, length >= exifEnd);
            EXPECT_EQ(run.info.orientation, length >= exifEnd ? 8 : 0);
        }
    }
}

}  // namespace
