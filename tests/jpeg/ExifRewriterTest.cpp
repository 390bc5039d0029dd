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

}  // namespace
