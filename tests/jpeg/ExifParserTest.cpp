#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

#include "jpeg/ExifBuilder.h"
#include "jpeg/ExifParser.h"
#include "jpeg/JpegSectionReader.h"

namespace {

struct ParseRun {
    bool ok;
    ExifInfo info;
    std::string error;
};

ParseRun parse(const Bytes& tiff)
{
    // An exactly sized copy, so that any read past the section is caught.
    const Bytes payload = exifPayload(tiff);
    ParseRun run{};
    JpegSectionReader reader(run.info);
    run.ok = parseExifSegment(reader, payload.data(), static_cast<int>(payload.size() + 2));
    run.error = reader.errorText();
    return run;
}

constexpr std::uint16_t tagOrientation = 0x0112;
constexpr std::uint16_t tagExif = 0x8769;
constexpr std::uint16_t tagInterop = 0xA005;

// Offset of the first byte behind an IFD0 of n entries at offset 8.
constexpr std::uint32_t afterIfd0(std::uint32_t n)
{
    return 8 + 2 + 12 * n + 4;
}

Bytes withValue(bool big, TestEntry entry, const std::vector<std::uint32_t>& words)
{
    entry.value = afterIfd0(1);
    Bytes tiff = tiffData(big, {entry});
    ByteWriter w(big);
    for (std::uint32_t word : words)
        w.u32(word);
    return tiff + w.data;
}

// IFD0 holding the given entries with a link entry first, and a second
// directory (the linked one) appended behind it.
Bytes withLinkedDirectory(bool big, std::uint16_t linkTag, const std::vector<TestEntry>& first,
                          const std::vector<TestEntry>& linked)
{
    std::vector<TestEntry> entries = {{linkTag, 4, 1, 0}};
    entries.insert(entries.end(), first.begin(), first.end());
    Bytes tiff = tiffData(big, entries);
    const std::uint32_t at = appendDirectory(tiff, big, linked);
    patchTiff32(tiff, big, 8 + 2 + 8, at);
    return tiff;
}

Bytes withNextDirectory(bool big, const std::vector<TestEntry>& first, const std::vector<TestEntry>& next)
{
    Bytes tiff = tiffData(big, first);
    const std::uint32_t at = appendDirectory(tiff, big, next);
    patchTiff32(tiff, big, afterIfd0(static_cast<std::uint32_t>(first.size())) - 4, at);
    return tiff;
}

Bytes withoutNextField(Bytes tiff)
{
    tiff.resize(tiff.size() - 4);
    return tiff;
}

TEST(ExifParser, Orientation)
{
    const TestEntry six = orientationShort(6);
    const TestEntry badFormat = {0x0100, 13, 1, 0};
    static const struct {
        const char* name;
        Bytes tiff;
        bool ok;
        int orientation;
        const char* error;
    } cases[] = {
        {"II short 6", tiffData(false, {six}), true, 6, ""},
        {"MM short 6", tiffData(true, {six}), true, 6, ""},
        {"MM long 6", tiffData(true, {{tagOrientation, 4, 1, 6}}), true, 6, ""},
        {"byte 8", tiffData(false, {{tagOrientation, 1, 1, 8}}), true, 8, ""},
        {"rational 13/2", withValue(false, {tagOrientation, 5, 1, 0}, {13, 2}), true, 6, ""},
        {"rational 13/0", withValue(true, {tagOrientation, 5, 1, 0}, {13, 0}), true, 0, "Undefined rotation value"},
        {"srational -13/2", withValue(false, {tagOrientation, 10, 1, 0}, {0xFFFFFFF3u, 2}), true, 0,
         "Undefined rotation value"},
        {"double 7.9", withValue(false, {tagOrientation, 12, 1, 0}, {0x9999999Au, 0x401F9999u}), true, 7, ""},
        {"double 1e300", withValue(false, {tagOrientation, 12, 1, 0}, {0x8800759Cu, 0x7E37E43Cu}), true, 0,
         "Undefined rotation value"},
        {"float NaN", tiffData(false, {{tagOrientation, 11, 1, 0x7FC00000u}}), true, 0, "Undefined rotation value"},
        {"orientation 9", tiffData(false, {orientationShort(9)}), true, 0, "Undefined rotation value"},
        {"orientation 0", tiffData(true, {orientationShort(0)}), true, 0, "Undefined rotation value"},
        {"no components", tiffData(false, {{tagOrientation, 3, 0, 6, true}}), true, 0, "Undefined rotation value"},
        {"ascii", tiffData(false, {{tagOrientation, 2, 2, '6'}}), true, 0, "Undefined rotation value"},
        {"no orientation entry", tiffData(false, {{0x010F, 2, 4, 0x414E4F43u}}), true, 0, ""},
        {"first offset 7", tiffData(false, {six}, 0, 7), false, 0, "Suspicious offset of first IFD value"},
        {"first offset 17", tiffData(false, {six}, 0, 17), false, 0, "Suspicious offset of first IFD value"},
        {"first offset 16", tiffData(false, {six}, 0, 16), true, 6, ""},
        {"bad format after orientation", tiffData(false, {six, badFormat}), false, 6,
         "Illegal format code in EXIF dir"},
        {"bad format in Exif sub-directory", withLinkedDirectory(false, tagExif, {six}, {badFormat}), true, 6,
         "Illegal format code in EXIF dir"},
        {"bad format in interop sub-directory", withLinkedDirectory(true, tagInterop, {six}, {badFormat}), true, 6,
         "Illegal format code in EXIF dir"},
        {"entry after the link wins", withLinkedDirectory(false, tagExif, {six}, {orientationShort(3)}), true, 6, ""},
        {"thumbnail overrides II", withNextDirectory(false, {six}, {orientationShort(8)}), true, 8, ""},
        {"thumbnail overrides MM", withNextDirectory(true, {six}, {orientationShort(8)}), true, 8, ""},
        {"value past the end", withValue(false, {tagOrientation, 5, 2, 0}, {13, 2, 1}), false, 0,
         "Illegal pointer offset value in EXIF."},
        {"value offset near 2^32", tiffData(false, {{0x010F, 5, 1, 0xFFFFFFF8u}}), false, 0,
         "Illegal pointer offset value in EXIF."},
        {"count that would wrap", tiffData(true, {{0x010F, 5, 0x20000001u, 8}}), false, 0,
         "Illegal pointer offset value in EXIF."},
        {"next field missing", withoutNextField(tiffData(false, {six})), true, 6, ""},
        {"link beyond the end", tiffData(false, {{tagExif, 4, 1, 1000}, six}), false, 0, "Illegal subdirectory link"},
        {"link to exactly the end", tiffData(false, {six, {tagExif, 4, 1, afterIfd0(2)}}), true, 6,
         "Illegally sized directory"},
        {"next link beyond the end", tiffData(false, {six}, 0xFFFFFFFFu), false, 6, "Illegal subdirectory link"},
        {"directory links to itself", tiffData(false, {{tagExif, 4, 1, 8}, six}), true, 6,
         "Illegal subdirectory link"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParseRun run = parse(c.tiff);
        EXPECT_EQ(run.ok, c.ok);
        EXPECT_EQ(run.info.orientation, c.orientation);
        EXPECT_EQ(run.error, c.error);
    }
}

TEST(ExifParser, EntryCountPastTheEnd)
{
    Bytes tiff = tiffData(false, {orientationShort(6)});
    tiff[8] = 2;  // two entries claimed, one present
    const ParseRun run = parse(tiff);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.error, "Illegally sized directory");
    EXPECT_EQ(run.info.orientation, 0);
}

TEST(ExifParser, CyclesEnd)
{
    for (bool big : {false, true}) {
        // IFD1's next link leads back to IFD0, whose next link leads to IFD1.
        Bytes tiff = withNextDirectory(big, {orientationShort(6)}, {orientationShort(3)});
        patchTiff32(tiff, big, tiff.size() - 4, 8);
        const ParseRun run = parse(tiff);
        EXPECT_TRUE(run.ok);
        EXPECT_EQ(run.info.orientation, 3);
        EXPECT_EQ(run.error, "Illegal subdirectory link");
    }
}

// Each link back to a directory already walked would multiply the work:
// without the guard, this directory takes longer than any test may run.
TEST(ExifParser, SelfLinksParseAtOnce)
{
    std::vector<TestEntry> entries = {orientationShort(6)};
    for (int i = 0; i < 6; ++i)
        entries.push_back({tagExif, 4, 1, 8});
    entries.push_back({tagInterop, 4, 1, 8});
    const ParseRun run = parse(tiffData(false, entries, 8));
    EXPECT_TRUE(run.ok);
    EXPECT_EQ(run.info.orientation, 6);
    EXPECT_EQ(run.error, "Illegal subdirectory link");
}

TEST(ExifParser, ShortPayloadsFailInsideTheSection)
{
    const Bytes full = exifPayload(tiffData(true, {orientationShort(6)}));
    static const char* const expected[] = {
        "Incorrect Exif header", "Incorrect Exif header", "Incorrect Exif header", "Incorrect Exif header",
        "Incorrect Exif header", "Incorrect Exif header", "Invalid Exif alignment marker.",
        "Invalid Exif alignment marker.", "Invalid Exif start (1)", "Invalid Exif start (1)",
        "Suspicious offset of first IFD value", "Suspicious offset of first IFD value",
        "Suspicious offset of first IFD value", "Suspicious offset of first IFD value",
        "Illegally sized directory",
    };
    for (std::size_t length = 0; length < std::size(expected); ++length) {
        SCOPED_TRACE(length);
        const Bytes payload(full.begin(), full.begin() + static_cast<long>(length));
        ExifInfo info;
        JpegSectionReader reader(info);
        EXPECT_FALSE(parseExifSegment(reader, payload.data(), static_cast<int>(length + 2)));
        EXPECT_STREQ(reader.errorText(), expected[length]);
    }
}

TEST(ExifParser, HeaderChecks)
{
    static const struct {
        const char* name;
        Bytes payload;
        const char* error;
    } cases[] = {
        {"header without zeros", Bytes{'E', 'x', 'i', 'f', 0, 1} + tiffData(false, {}), "Incorrect Exif header"},
        {"unknown byte order", exifPayload(Bytes{'I', 'M', 42, 0, 8, 0, 0, 0}), "Invalid Exif alignment marker."},
        {"43 instead of 42", exifPayload(Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}), "Invalid Exif start (1)"},
        {"42 in the wrong order", exifPayload(Bytes{'M', 'M', 42, 0, 0, 0, 0, 8}), "Invalid Exif start (1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExifInfo info;
        JpegSectionReader reader(info);
        EXPECT_FALSE(parseExifSegment(reader, c.payload.data(), static_cast<int>(c.payload.size() + 2)));
        EXPECT_STREQ(reader.errorText(), c.error);
    }
}

// Flipping any single byte of a valid block must never read out of bounds
// (the sanitizer build watches) nor give an orientation outside 0..8.
TEST(ExifParser, EveryByteBroken)
{
    for (bool big : {false, true}) {
        const Bytes tiff = withNextDirectory(big, {{tagExif, 4, 1, 0}, orientationShort(6)}, {orientationShort(3)});
        for (std::size_t i = 0; i < tiff.size(); ++i) {
            for (std::uint8_t delta : {1, 0x80, 0xFF}) {
                Bytes broken = tiff;
                broken[i] = static_cast<std::uint8_t>(broken[i] + delta);
                const ParseRun run = parse(broken);
                EXPECT_GE(run.info.orientation, 0);
                EXPECT_LE(run.info.orientation, 8);
            }
        }
    }
}

TEST(ExifParser, ValueAsNumberForEveryFormat)
{
    ExifInfo info;
    JpegSectionReader reader(info);
    const Bytes eight = {0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00};
    float f = 2.5f;
    double d = -1.25;
    Bytes floatBytes(4), doubleBytes(8);
    std::memcpy(floatBytes.data(), &f, 4);  // host order is little-endian here
    std::memcpy(doubleBytes.data(), &d, 8);
    static const struct {
        int format;
        Bytes value;
        double expected;
    } cases[] = {
        {0, eight, 0},
        {1, eight, 254},
        {2, eight, 0},
        {3, eight, 65534},
        {4, eight, 4294967294.0},
        {5, eight, 4294967294.0 / 2},
        {6, eight, -2},
        {7, eight, 0},
        {8, eight, -2},
        {9, eight, -2},
        {10, eight, -1},
        {11, floatBytes, 2.5},
        {12, doubleBytes, -1.25},
        {5, {1, 0, 0, 0, 0, 0, 0, 0}, 0},
        {10, {1, 0, 0, 0, 0, 0, 0, 0}, 0},
        {13, eight, 0},
        {3, {7}, 0},
        {12, floatBytes, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(valueAsNumber(reader, c.value.data(), c.value.size(), c.format), c.expected);
    }
    reader.bigEndian = true;
    EXPECT_EQ(valueAsNumber(reader, eight.data(), 8, 3), 0xFEFF);
    EXPECT_EQ(valueAsNumber(reader, eight.data(), 8, 9), static_cast<std::int32_t>(0xFEFFFFFF));
}

}  // namespace
