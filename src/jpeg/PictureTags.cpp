#include "jpeg/PictureTags.h"

#include <cstdint>
#include <cstring>

#include "jpeg/JpegHead.h"
#include "jpeg/TiffData.h"
#include "text/Utf8Text.h"

namespace {

constexpr std::uint16_t typeAscii = 2;
constexpr std::uint16_t tagExifDirectory = 0x8769;
constexpr int mostEntries = 512;

// An ASCII value up to its first NUL, spaces trimmed; Latin-1 where it is
// not UTF-8.
std::string asciiValue(const TiffData& tiff, std::uint64_t entry, bool bigEndian)
{
    std::uint16_t type = 0;
    std::uint32_t count = 0, offset = 0;
    const unsigned char* bytes = nullptr;
    if (!tiff.read16(entry + 2, bigEndian, type) || type != typeAscii || !tiff.read32(entry + 4, bigEndian, count))
        return {};
    // Four bytes or fewer stand in the entry itself, longer values at an offset.
    if (count > 4 && !tiff.read32(entry + 8, bigEndian, offset))
        return {};
    if (!tiff.bytes(count <= 4 ? entry + 8 : offset, count, bytes))
        return {};
    std::string text(reinterpret_cast<const char*>(bytes), count);
    text = text.substr(0, text.find('\0'));
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : utf8Of(codePoints(text.substr(first, last - first + 1)));
}

// Visits the entries of the directory at offset: (tag, entry's offset).
template <class Visit>
void eachEntry(const TiffData& tiff, std::uint64_t directory, bool bigEndian, Visit&& visit)
{
    std::uint16_t count = 0;
    if (!tiff.read16(directory, bigEndian, count))
        return;
    for (int i = 0; i < count && i < mostEntries; ++i) {
        const std::uint64_t entry = directory + 2 + 12ULL * i;
        std::uint16_t tag = 0;
        if (!tiff.read16(entry, bigEndian, tag))
            return;
        visit(tag, entry);
    }
}

}  // namespace

PictureTags exifTags(const std::vector<unsigned char>& exif)
{
    PictureTags tags;
    if (exif.size() < 14 || std::memcmp(exif.data(), "Exif\0\0", 6) != 0)
        return tags;
    const TiffData tiff(exif.data() + 6, exif.size() - 6);
    const bool bigEndian = exif[6] == 'M';
    std::uint32_t first = 0, exifDirectory = 0;
    if ((exif[6] != 'M' && exif[6] != 'I') || !tiff.read32(4, bigEndian, first))
        return tags;
    eachEntry(tiff, first, bigEndian, [&](std::uint16_t tag, std::uint64_t entry) {
        switch (tag) {
        case 0x010F: tags.make = asciiValue(tiff, entry, bigEndian); break;
        case 0x0110: tags.model = asciiValue(tiff, entry, bigEndian); break;
        case 0x013B: tags.artist = asciiValue(tiff, entry, bigEndian); break;
        case 0x8298: tags.copyright = asciiValue(tiff, entry, bigEndian); break;
        case tagExifDirectory: tiff.read32(entry + 8, bigEndian, exifDirectory); break;
        }
    });
    if (exifDirectory != 0 && exifDirectory != first) {
        eachEntry(tiff, exifDirectory, bigEndian, [&](std::uint16_t tag, std::uint64_t entry) {
            if (tag == 0x9003)
                tags.dateTaken = asciiValue(tiff, entry, bigEndian);
            else if (tag == 0xA434)
                tags.lens = asciiValue(tiff, entry, bigEndian);
        });
    }
    return tags;
}

PictureTags pictureTags(const JpegHead& head)
{
    PictureTags tags = exifTags(head.exif);
    const auto orElse = [](std::string& value, const std::string& other) {
        if (value.empty())
            value = other;
    };
    orElse(tags.dateTaken, head.xmpDateTaken);
    orElse(tags.artist, head.xmpCreator);
    orElse(tags.copyright, head.xmpRights);
    orElse(tags.lens, head.xmpLens);
    return tags;
}
