#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Writes numbers in one byte order, for hand-built TIFF data.
class ByteWriter {
public:
    explicit ByteWriter(bool bigEndian) : big_(bigEndian) {}
    ByteWriter& u8(std::uint8_t v);
    ByteWriter& u16(std::uint16_t v);
    ByteWriter& u32(std::uint32_t v);
    ByteWriter& text(const std::string& s);
    void patch32(std::size_t at, std::uint32_t v);
    std::size_t size() const { return data.size(); }
    Bytes data;

private:
    bool big_;
};

struct TestEntry {
    std::uint16_t tag;
    std::uint16_t format;
    std::uint32_t count;
    std::uint32_t value;  // the four value bytes, as written by u32 ...
    bool shortInline = false;  // ... or one 16-bit value followed by two zero bytes
};

// TIFF data: header naming IFD0 at firstOffset (padding up to it), then IFD0
// with the given entries and next link.
Bytes tiffData(bool bigEndian, const std::vector<TestEntry>& entries, std::uint32_t next = 0,
               std::uint32_t firstOffset = 8);
// Appends a directory to TIFF data and returns its offset.
std::uint32_t appendDirectory(Bytes& tiff, bool bigEndian, const std::vector<TestEntry>& entries,
                              std::uint32_t next = 0);
// Overwrites a 32-bit number in TIFF data.
void patchTiff32(Bytes& tiff, bool bigEndian, std::size_t at, std::uint32_t v);

TestEntry orientationShort(std::uint16_t value);

Bytes exifPayload(const Bytes& tiff);                 // "Exif\0\0" + TIFF data
Bytes segment(int marker, const Bytes& payload);      // FF marker, length, payload
Bytes jpegOf(const std::vector<Bytes>& segments);     // SOI + segments (no SOS added)
Bytes sosSegment();
// A minimal stream: SOI, an Exif APP1 with the orientation, SOS.
Bytes jpegWithOrientation(bool bigEndian, std::uint16_t orientation);

// Texts of ASCII tags by their numbers.
using Texts = std::vector<std::pair<std::uint16_t, std::string>>;
// An Exif payload whose IFD0 holds the texts of ifd0 and links to a
// directory with those of exif (none without).
Bytes exifWithTexts(bool big, const Texts& ifd0, const Texts& exif);

Bytes operator+(Bytes a, const Bytes& b);
void writeFile(const std::string& path, const Bytes& bytes);
