#include <algorithm>

#include <gtest/gtest.h>

#include "jpeg/ExifBuilder.h"
#include "jpeg/ExifParser.h"
#include "jpeg/ExifRewriter.h"
#include "jpeg/JpegSectionReader.h"

namespace {

std::vector<unsigned char> rewritten(const Bytes& payload, bool upright = true)
{
    ExifChanges changes;
    changes.width = 800;
    changes.height = 533;
    changes.upright = upright;
    return rewriteExif(payload.data(), payload.size(), changes);
}

// A malformed block gives nothing, never a read outside it; a block of
// nearly a whole segment still fits one after the rewrite, and the parser
// reads the new orientation from it.
TEST(ExifRewriter, MalformedAndHugeBlocks)
{
    const Bytes good = exifPayload(tiffData(false, {orientationShort(6)}));
    Bytes badOrder = good, farDirectory = good, tooManyEntries = good;
    badOrder[6] = 'X';
    farDirectory[10] = 0xF0;
    tooManyEntries[14] = 0xFF;
    const Bytes cut(good.begin(), good.begin() + 12);
    for (const Bytes& bad : {cut, badOrder, farDirectory, tooManyEntries})
        EXPECT_TRUE(rewritten(bad).empty());

    for (bool big : {false, true}) {
        SCOPED_TRACE(big);
        // IFD0: the orientation and a maker's blob that fills the segment.
        Bytes tiff = tiffData(big, {orientationShort(6), {0xC4A5, 7, 65480, 38}});
        tiff.resize(38 + 65480, 'x');
        const Bytes huge = exifPayload(tiff);
        ASSERT_LE(huge.size(), maxExifPayload);
        for (const Bytes& payload : {good, huge}) {
            const std::vector<unsigned char> out = rewritten(payload);
            ASSERT_FALSE(out.empty());
            EXPECT_LE(out.size(), maxExifPayload);
            ExifInfo info;
            JpegSectionReader reader(info);
            EXPECT_TRUE(parseExifSegment(reader, out.data(), static_cast<int>(out.size()) + 2));
            EXPECT_EQ(info.orientation, 1);
        }
    }
    const std::vector<unsigned char> kept = rewritten(good, false);
    ExifInfo info;
    JpegSectionReader reader(info);
    parseExifSegment(reader, kept.data(), static_cast<int>(kept.size()) + 2);
    EXPECT_EQ(info.orientation, 6) << "not turned: the orientation stays";
}

// The tags of the first directory of a rewritten block.
std::vector<int> firstDirectoryTags(const std::vector<unsigned char>& block)
{
    const unsigned char* tiff = block.data() + 6;
    const bool big = tiff[0] == 'M';
    const auto number = [&](std::size_t at, int bytes) {
        unsigned value = 0;
        for (int i = 0; i < bytes; ++i)
            value |= unsigned(tiff[at + i]) << (8 * (big ? bytes - 1 - i : i));
        return value;
    };
    const std::size_t directory = number(4, 4);
    std::vector<int> tags;
    for (unsigned i = 0; i < number(directory, 2); ++i)
        tags.push_back(static_cast<int>(number(directory + 2 + 12 * i, 2)));
    return tags;
}

// What points at data the rewrite leaves behind goes too: the thumbnail's
// offset and length, strips and the maker note; the rest stays.
TEST(ExifRewriter, LeavesOutWhatPointsElsewhere)
{
    for (bool big : {false, true}) {
        SCOPED_TRACE(big);
        const Bytes tiff = tiffData(big, {{0x0111, 4, 1, 200}, {0x0112, 3, 1, 6, true}, {0x0128, 3, 1, 2, true},
                                          {0x0201, 4, 1, 300}, {0x0202, 4, 1, 40}, {0x927C, 7, 4, 0x41424344}});
        const std::vector<unsigned char> out = rewritten(exifPayload(tiff));
        ASSERT_GT(out.size(), 6u);
        const std::vector<int> tags = firstDirectoryTags(out);
        for (int gone : {0x0111, 0x0201, 0x0202, 0x927C})
            EXPECT_EQ(std::count(tags.begin(), tags.end(), gone), 0) << std::hex << gone;
        for (int kept : {0x0112, 0x0128})
            EXPECT_EQ(std::count(tags.begin(), tags.end(), kept), 1) << std::hex << kept;
    }
}

}  // namespace
