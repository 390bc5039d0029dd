#include "jpeg/ExifRewriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <tuple>

#include "jpeg/TiffData.h"

namespace {

constexpr std::uint16_t tagImageWidth = 0x0100;
constexpr std::uint16_t tagImageLength = 0x0101;
constexpr std::uint16_t tagOrientation = 0x0112;
constexpr std::uint16_t tagXResolution = 0x011A;
constexpr std::uint16_t tagYResolution = 0x011B;
constexpr std::uint16_t tagResolutionUnit = 0x0128;
constexpr std::uint16_t tagYCbCrPositioning = 0x0213;
constexpr std::uint16_t tagExifDirectory = 0x8769;
constexpr std::uint16_t tagGpsDirectory = 0x8825;
constexpr std::uint16_t tagExifVersion = 0x9000;
constexpr std::uint16_t tagDateTimeOriginal = 0x9003;
constexpr std::uint16_t tagComponentsConfiguration = 0x9101;
constexpr std::uint16_t tagFlashpixVersion = 0xA000;
constexpr std::uint16_t tagColorSpace = 0xA001;
constexpr std::uint16_t tagPixelXDimension = 0xA002;
constexpr std::uint16_t tagPixelYDimension = 0xA003;
constexpr std::uint16_t tagInteropDirectory = 0xA005;
constexpr std::uint16_t typeAscii = 2;
constexpr std::uint16_t typeShort = 3;
constexpr std::uint16_t typeLong = 4;
constexpr std::uint16_t typeRational = 5;
constexpr std::uint16_t typeUndefined = 7;
constexpr std::uint16_t typeDirectory = 13;
constexpr unsigned maxEntries = 1000;
constexpr std::size_t headerSize = 6;  // "Exif\0\0"
constexpr std::size_t maxTiff = maxExifPayload - headerSize;

struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::vector<unsigned char> value;  // in the data's own byte order
};

using Directory = std::vector<Entry>;

std::size_t typeSize(std::uint16_t type)
{
    switch (type) {
    case 1: case 2: case 6: case 7: return 1;
    case 3: case 8: return 2;
    case 4: case 9: case 11: case typeDirectory: return 4;
    case 5: case 10: case 12: return 8;
    default: return 0;
    }
}

// Entries whose values point at data the rewrite does not carry, or that
// describe what it leaves out.
bool leftOut(const Entry& entry)
{
    static const std::uint16_t tags[] = {
        0x0111, 0x0117, 0x0144, 0x0145,  // strips and tiles
        0x014A,                          // sub-directories
        0x0201, 0x0202,                  // the thumbnail
        0x02BC, 0x8773,                  // XMP and profile copies
        0x927C, 0xEA1C, 0xEA1D,          // the maker note, padding, maker note offsets
        tagExifDirectory, tagGpsDirectory, tagInteropDirectory};
    return entry.type == typeDirectory || std::find(std::begin(tags), std::end(tags), entry.tag) != std::end(tags);
}

class TiffReader {
public:
    TiffReader(const TiffData& tiff, bool bigEndian) : tiff_(tiff), big_(bigEndian) {}

    // False when the directory itself lies outside the data; entries whose
    // values do are passed over.
    bool read(std::uint32_t offset, Directory& directory) const
    {
        std::uint16_t count = 0;
        if (!tiff_.read16(offset, big_, count) || count > maxEntries ||
            !tiff_.contains(std::uint64_t(offset) + 2, 12 * std::uint64_t(count)))
            return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t at = std::uint64_t(offset) + 2 + 12 * i;
            Entry entry{};
            std::uint32_t valueOffset = 0;
            tiff_.read16(at, big_, entry.tag);
            tiff_.read16(at + 2, big_, entry.type);
            tiff_.read32(at + 4, big_, entry.count);
            tiff_.read32(at + 8, big_, valueOffset);
            const std::uint64_t bytes = std::uint64_t(typeSize(entry.type)) * entry.count;
            const unsigned char* value = nullptr;
            if (bytes == 0 || bytes > maxTiff || !tiff_.bytes(bytes <= 4 ? at + 8 : valueOffset, bytes, value))
                continue;
            // A tag twice would say two things; the first one counts.
            if (std::any_of(directory.begin(), directory.end(), [&entry](const Entry& e) { return e.tag == entry.tag; }))
                continue;
            entry.value.assign(value, value + bytes);
            directory.push_back(std::move(entry));
        }
        return true;
    }

    // The directory an entry of the list points to; empty when none is there.
    Directory pointedTo(const Directory& list, std::uint16_t tag) const
    {
        for (const Entry& entry : list) {
            Directory directory;
            if (entry.tag == tag && entry.count == 1 && entry.value.size() == 4 &&
                read(decode32(entry.value.data(), big_), directory))
                return directory;
        }
        return {};
    }

private:
    const TiffData& tiff_;
    const bool big_;
};

void put16(std::vector<unsigned char>& out, std::uint32_t value, bool big)
{
    const unsigned char b[2] = {static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    out.push_back(big ? b[0] : b[1]);
    out.push_back(big ? b[1] : b[0]);
}

void put32(std::vector<unsigned char>& out, std::uint32_t value, bool big)
{
    put16(out, big ? value >> 16 : value & 0xFFFF, big);
    put16(out, big ? value & 0xFFFF : value >> 16, big);
}

// Sets a number as SHORT where it fits, else LONG; adds the entry only when asked.
void setNumber(Directory& directory, std::uint16_t tag, std::uint32_t value, bool add, bool big)
{
    auto found = std::find_if(directory.begin(), directory.end(), [tag](const Entry& e) { return e.tag == tag; });
    if (found == directory.end()) {
        if (!add)
            return;
        found = directory.insert(directory.end(), Entry{tag, 0, 0, {}});
    }
    found->type = value <= 0xFFFF ? typeShort : typeLong;
    found->count = 1;
    found->value.clear();
    if (found->type == typeShort)
        put16(found->value, value, big);
    else
        put32(found->value, value, big);
}

std::size_t outOfLine(const Entry& entry)
{
    return entry.value.size() > 4 ? entry.value.size() + (entry.value.size() & 1) : 0;
}

std::size_t directorySize(const Directory& directory)
{
    if (directory.empty())
        return 0;
    std::size_t size = 2 + 12 * directory.size() + 4;
    for (const Entry& entry : directory)
        size += outOfLine(entry);
    return size;
}

void write(std::vector<unsigned char>& tiff, Directory& directory, bool big)
{
    std::sort(directory.begin(), directory.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    std::size_t data = tiff.size() + 2 + 12 * directory.size() + 4;
    put16(tiff, static_cast<std::uint32_t>(directory.size()), big);
    for (const Entry& entry : directory) {
        put16(tiff, entry.tag, big);
        put16(tiff, entry.type, big);
        put32(tiff, entry.count, big);
        if (entry.value.size() <= 4) {
            tiff.insert(tiff.end(), entry.value.begin(), entry.value.end());
            tiff.insert(tiff.end(), 4 - entry.value.size(), 0);
        } else {
            put32(tiff, static_cast<std::uint32_t>(data), big);
            data += outOfLine(entry);
        }
    }
    put32(tiff, 0, big);  // no next directory: the thumbnail's IFD1 is left out
    for (const Entry& entry : directory) {
        if (entry.value.size() <= 4)
            continue;
        tiff.insert(tiff.end(), entry.value.begin(), entry.value.end());
        if (entry.value.size() & 1)
            tiff.push_back(0);
    }
}

// Drops the largest value that the rewrite does not need; false when none is left.
bool dropLargest(Directory* directories[], int count)
{
    Directory* owner = nullptr;
    std::size_t largest = 0, index = 0;
    for (int d = 0; d < count; ++d)
        for (std::size_t i = 0; i < directories[d]->size(); ++i)
            if (outOfLine((*directories[d])[i]) > largest) {
                owner = directories[d];
                largest = outOfLine((*directories[d])[i]);
                index = i;
            }
    if (!owner)
        return false;
    owner->erase(owner->begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

// The entries the new picture makes untrue, made true; what the standard
// requires of a JPEG's EXIF data, added where the camera left it out.
void makeTrueOf(Directory& ifd0, Directory& exif, const ExifChanges& changes, bool big)
{
    if (changes.upright)
        setNumber(ifd0, tagOrientation, 1, false, big);
    setNumber(ifd0, tagImageWidth, changes.width, false, big);
    setNumber(ifd0, tagImageLength, changes.height, false, big);
    setNumber(exif, tagPixelXDimension, changes.width, true, big);
    setNumber(exif, tagPixelYDimension, changes.height, true, big);
    auto lacks = [](const Directory& d, std::uint16_t tag) {
        return std::none_of(d.begin(), d.end(), [tag](const Entry& e) { return e.tag == tag; });
    };
    if (lacks(exif, tagExifVersion))
        exif.push_back(Entry{tagExifVersion, typeUndefined, 4, {'0', '2', '3', '2'}});
    // Y, Cb, Cr: what every picture this program writes holds.
    if (lacks(exif, tagComponentsConfiguration))
        exif.push_back(Entry{tagComponentsConfiguration, typeUndefined, 4, {1, 2, 3, 0}});
    if (lacks(exif, tagFlashpixVersion))
        exif.push_back(Entry{tagFlashpixVersion, typeUndefined, 4, {'0', '1', '0', '0'}});
    // sRGB once converted into it. Otherwise the pixels' colours are the
    // original's, and so is what the camera said of them; where it said
    // nothing, a picture with a profile of its own is uncalibrated, and one
    // without is taken as sRGB, as viewers take it.
    if (changes.convertedToSrgb)
        setNumber(exif, tagColorSpace, 1, true, big);
    else if (lacks(exif, tagColorSpace))
        setNumber(exif, tagColorSpace, changes.profileKept ? 0xFFFF : 1, true, big);
    if (lacks(exif, tagDateTimeOriginal) && changes.dateTaken.size() == 19) {
        std::vector<unsigned char> date(changes.dateTaken.begin(), changes.dateTaken.end());
        date.push_back(0);
        exif.push_back(Entry{tagDateTimeOriginal, typeAscii, 20, date});
    }
    std::vector<unsigned char> seventyTwo;  // 72/1 pixels an inch
    put32(seventyTwo, 72, big);
    put32(seventyTwo, 1, big);
    for (std::uint16_t tag : {tagXResolution, tagYResolution})
        if (lacks(ifd0, tag))
            ifd0.push_back(Entry{tag, typeRational, 1, seventyTwo});
    if (lacks(ifd0, tagResolutionUnit))
        setNumber(ifd0, tagResolutionUnit, 2, true, big);
    if (lacks(ifd0, tagYCbCrPositioning))
        setNumber(ifd0, tagYCbCrPositioning, 1, true, big);
}

// The TIFF data of the four directories, one after the other behind the
// header, with the pointers between them; empty when they cannot fit.
std::vector<unsigned char> layOut(const unsigned char* header, Directory& ifd0, Directory& exif, Directory& interop,
                                  Directory& gps, bool big)
{
    // The pointers are four bytes inline, whatever they point at: placeholders
    // give the layout, the real offsets follow.
    auto pointer = [](std::uint16_t tag) { return Entry{tag, typeLong, 1, {0, 0, 0, 0}}; };
    ifd0.push_back(pointer(tagExifDirectory));
    if (!interop.empty())
        exif.push_back(pointer(tagInteropDirectory));
    if (!gps.empty())
        ifd0.push_back(pointer(tagGpsDirectory));

    Directory* all[] = {&ifd0, &exif, &interop, &gps};
    while (8 + directorySize(ifd0) + directorySize(exif) + directorySize(interop) + directorySize(gps) > maxTiff)
        if (!dropLargest(all, 4))
            return {};
    // A directory whose values all had to go takes its pointer along.
    for (auto [directory, owner, tag] :
         {std::tuple{&interop, &exif, tagInteropDirectory}, std::tuple{&gps, &ifd0, tagGpsDirectory}})
        if (directory->empty())
            owner->erase(std::remove_if(owner->begin(), owner->end(), [tag = tag](const Entry& e) { return e.tag == tag; }),
                         owner->end());
    const std::size_t exifAt = 8 + directorySize(ifd0);
    const std::size_t interopAt = exifAt + directorySize(exif);
    const std::size_t gpsAt = interopAt + directorySize(interop);
    for (auto [directory, tag, at] : {std::tuple{&ifd0, tagExifDirectory, exifAt},
                                      std::tuple{&exif, tagInteropDirectory, interopAt},
                                      std::tuple{&ifd0, tagGpsDirectory, gpsAt}})
        for (Entry& entry : *directory)
            if (entry.tag == tag) {
                entry.value.clear();
                put32(entry.value, static_cast<std::uint32_t>(at), big);
            }

    std::vector<unsigned char> tiff(header, header + 4);
    put32(tiff, 8, big);
    for (Directory* d : all)
        if (!d->empty())
            write(tiff, *d, big);
    return tiff;
}

}  // namespace

std::vector<unsigned char> emptyExif()
{
    // An IFD0 of no entries, and no IFD1.
    return {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', '*', 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
}

std::vector<unsigned char> rewriteExif(const unsigned char* payload, std::size_t size, const ExifChanges& changes)
{
    if (size < headerSize + 8 || std::memcmp(payload, "Exif\0\0", headerSize) != 0)
        return {};
    const TiffData tiff(payload + headerSize, std::min(size - headerSize, maxTiff));
    const unsigned char* header = payload + headerSize;
    const bool big = header[0] == 'M';
    if (!(std::memcmp(header, "II*\0", 4) == 0 || std::memcmp(header, "MM\0*", 4) == 0))
        return {};
    const TiffReader reader(tiff, big);
    Directory ifd0;
    if (!reader.read(decode32(header + 4, big), ifd0))
        return {};
    Directory exif = reader.pointedTo(ifd0, tagExifDirectory);
    Directory interop = reader.pointedTo(exif, tagInteropDirectory);
    Directory gps = changes.keepGps ? reader.pointedTo(ifd0, tagGpsDirectory) : Directory();
    for (Directory* d : {&ifd0, &exif, &interop, &gps})
        d->erase(std::remove_if(d->begin(), d->end(), leftOut), d->end());
    makeTrueOf(ifd0, exif, changes, big);
    const std::vector<unsigned char> laidOut = layOut(header, ifd0, exif, interop, gps, big);
    if (laidOut.empty())
        return {};
    std::vector<unsigned char> out(payload, payload + headerSize);
    out.insert(out.end(), laidOut.begin(), laidOut.end());
    return out;
}
