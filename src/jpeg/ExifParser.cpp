#include "jpeg/ExifParser.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "jpeg/JpegSectionReader.h"

namespace {

constexpr std::uint16_t tagOrientation = 0x0112;
constexpr std::uint16_t tagExifLink = 0x8769;
constexpr std::uint16_t tagInteropLink = 0xA005;

constexpr std::size_t exifHeaderSize = 6;  // "Exif", 0, 0
constexpr std::uint64_t entrySize = 12;
constexpr int maxFormat = 12;

// Bytes per component, by format code 0..12.
constexpr unsigned formatSizes[maxFormat + 1] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

double ratio(double numerator, double denominator)
{
    return denominator == 0 ? 0.0 : numerator / denominator;
}

int orientationFrom(double value)
{
    // Not a number, or out of 32-bit range, counts as undefined.
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return 0;
    const int orientation = static_cast<int>(value);  // truncates toward zero
    return orientation >= 1 && orientation <= 8 ? orientation : 0;
}

bool followLink(JpegSectionReader& reader, std::uint32_t offset, const TiffData& tiff, ExifInfo& info,
                DirectoryWalk& walk)
{
    if (offset > tiff.length()) {
        reader.recordError("Illegal subdirectory link");
        return false;
    }
    walkDirectory(reader, offset, tiff, info, walk);
    return true;
}

}  // namespace

double valueAsNumber(const JpegSectionReader& reader, const unsigned char* value, std::size_t available,
                     int format)
{
    if (format < 0 || format > maxFormat || available < formatSizes[format] || formatSizes[format] == 0)
        return 0.0;
    const bool big = reader.bigEndian;
    switch (format) {
    case 1: return value[0];
    case 3: return decode16(value, big);
    case 4: return decode32(value, big);
    case 5: return ratio(decode32(value, big), decode32(value + 4, big));
    case 6: return static_cast<std::int8_t>(value[0]);
    case 8: return static_cast<std::int16_t>(decode16(value, big));
    case 9: return static_cast<std::int32_t>(decode32(value, big));
    case 10:
        return ratio(static_cast<std::int32_t>(decode32(value, big)),
                     static_cast<std::int32_t>(decode32(value + 4, big)));
    case 11: {
        const std::uint32_t bits = decode32(value, big);
        float number;
        std::memcpy(&number, &bits, sizeof number);
        return number;
    }
    case 12: {
        const std::uint64_t bits = decode64(value, big);
        double number;
        std::memcpy(&number, &bits, sizeof number);
        return number;
    }
    default:  // ASCII, UNDEFINED
        return 0.0;
    }
}

bool walkDirectory(JpegSectionReader& reader, std::uint64_t directoryOffset, const TiffData& tiff,
                   ExifInfo& info, DirectoryWalk& walk)
{
    if (walk.depth >= DirectoryWalk::maxDepth || !walk.visited.insert(directoryOffset).second) {
        reader.recordError("Illegal subdirectory link");
        return false;
    }

    const bool big = reader.bigEndian;
    std::uint16_t entryCount = 0;
    if (!tiff.read16(directoryOffset, big, entryCount) ||
        !tiff.contains(directoryOffset, 2 + entrySize * entryCount)) {
        reader.recordError("Illegally sized directory");
        return false;
    }

    ++walk.depth;
    bool ok = true;
    for (std::uint64_t i = 0; ok && i < entryCount; ++i) {
        const std::uint64_t entry = directoryOffset + 2 + entrySize * i;
        std::uint16_t tag = 0, format = 0;
        std::uint32_t components = 0;
        tiff.read16(entry, big, tag);
        tiff.read16(entry + 2, big, format);
        tiff.read32(entry + 4, big, components);
        if (format > maxFormat) {
            reader.recordError("Illegal format code in EXIF dir");
            ok = false;
            continue;
        }

        // At most 2^32 - 1 components of 8 bytes: cannot wrap in 64 bits.
        const std::uint64_t byteCount = std::uint64_t{components} * formatSizes[format];
        std::uint64_t valueOffset = entry + 8;
        if (byteCount > 4) {
            std::uint32_t pointer = 0;
            tiff.read32(entry + 8, big, pointer);
            if (!tiff.contains(pointer, byteCount)) {
                reader.recordError("Illegal pointer offset value in EXIF.");
                ok = false;
                continue;
            }
            valueOffset = pointer;
        }

        if (tag == tagOrientation) {
            const unsigned char* value = nullptr;
            tiff.bytes(valueOffset, byteCount, value);
            info.orientation = orientationFrom(valueAsNumber(reader, value, byteCount, format));
            if (info.orientation == 0)
                reader.recordError("Undefined rotation value");
        } else if (tag == tagExifLink || tag == tagInteropLink) {
            // The four bytes exist: inside the entry, or inside a value of more than four.
            std::uint32_t link = 0;
            tiff.read32(valueOffset, big, link);
            ok = followLink(reader, link, tiff, info, walk);
        }
    }

    if (ok) {
        // A next-directory field that would lie past the data counts as no link.
        std::uint32_t next = 0;
        if (tiff.read32(directoryOffset + 2 + entrySize * entryCount, big, next) && next != 0)
            ok = followLink(reader, next, tiff, info, walk);
    }
    --walk.depth;
    return ok;
}

bool parseExifSegment(JpegSectionReader& reader, const unsigned char* payload, int size)
{
    const std::size_t payloadLength = size > 2 ? static_cast<std::size_t>(size) - 2 : 0;
    if (payloadLength < exifHeaderSize || std::memcmp(payload, "Exif\0\0", exifHeaderSize) != 0) {
        reader.recordError("Incorrect Exif header");
        return false;
    }

    const TiffData tiff(payload + exifHeaderSize, payloadLength - exifHeaderSize);
    const unsigned char* order = nullptr;
    if (tiff.bytes(0, 2, order) && std::memcmp(order, "II", 2) == 0)
        reader.bigEndian = false;
    else if (order && std::memcmp(order, "MM", 2) == 0)
        reader.bigEndian = true;
    else {
        reader.recordError("Invalid Exif alignment marker.");
        return false;
    }

    std::uint16_t magic = 0;
    if (!tiff.read16(2, reader.bigEndian, magic) || magic != 42) {
        reader.recordError("Invalid Exif start (1)");
        return false;
    }

    std::uint32_t firstOffset = 0;
    if (!tiff.read32(4, reader.bigEndian, firstOffset) || firstOffset < 8 || firstOffset > 16) {
        reader.recordError("Suspicious offset of first IFD value");
        return false;
    }

    DirectoryWalk walk;
    return walkDirectory(reader, firstOffset, tiff, reader.info(), walk);
}
