#include "pixel/PictureFormat.h"

#include <cstring>

#include "jpeg/TiffData.h"

namespace {

bool readAt(std::FILE* file, long offset, unsigned char* out, std::size_t count)
{
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(out, 1, count, file) == count;
}

// IHDR is always the first chunk, right after the 8-byte signature.
bool pngSize(std::FILE* file, std::uint32_t& width, std::uint32_t& height)
{
    unsigned char head[16];
    if (!readAt(file, 8, head, sizeof head) || std::memcmp(head + 4, "IHDR", 4) != 0)
        return false;
    width = decode32(head + 8, true);
    height = decode32(head + 12, true);
    return true;
}

// ImageWidth and ImageLength of the first directory, as SHORT or LONG.
bool tiffSize(std::FILE* file, std::uint32_t& width, std::uint32_t& height)
{
    unsigned char head[8];
    if (!readAt(file, 0, head, sizeof head))
        return false;
    const bool bigEndian = head[0] == 'M';
    const std::uint32_t directory = decode32(head + 4, bigEndian);
    unsigned char count[2];
    if (directory > 0x7fffffff || !readAt(file, static_cast<long>(directory), count, sizeof count))
        return false;
    bool haveWidth = false, haveHeight = false;
    for (unsigned i = decode16(count, bigEndian); i > 0 && !(haveWidth && haveHeight); --i) {
        unsigned char entry[12];
        if (std::fread(entry, 1, sizeof entry, file) != sizeof entry)
            return false;
        const std::uint16_t tag = decode16(entry, bigEndian);
        const std::uint16_t type = decode16(entry + 2, bigEndian);
        if ((tag != 256 && tag != 257) || (type != 3 && type != 4))
            continue;
        const std::uint32_t value = type == 3 ? decode16(entry + 8, bigEndian) : decode32(entry + 8, bigEndian);
        (tag == 256 ? width : height) = value;
        (tag == 256 ? haveWidth : haveHeight) = true;
    }
    return haveWidth && haveHeight;
}

}  // namespace

PictureFormat pictureFormat(std::FILE* file)
{
    unsigned char head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::rewind(file);
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8)
        return PictureFormat::jpeg;
    if (got == 8 && std::memcmp(head, png, 8) == 0)
        return PictureFormat::png;
    if (got >= 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0))
        return PictureFormat::tiff;
    return PictureFormat::other;
}

bool declaredSize(std::FILE* file, PictureFormat format, std::uint32_t& width, std::uint32_t& height)
{
    if (format == PictureFormat::png)
        return pngSize(file, width, height);
    if (format == PictureFormat::tiff)
        return tiffSize(file, width, height);
    return false;
}
