#pragma once

#include <cstddef>
#include <string>
#include <vector>

// What a rewritten picture's EXIF data must say about it.
struct ExifChanges {
    unsigned width = 0;  // its pixel size now
    unsigned height = 0;
    bool upright = false;  // its pixels were turned upright: Orientation becomes 1
    bool keepGps = false;  // published pictures lose their GPS position unless asked
    bool convertedToSrgb = false;  // its colours were converted into sRGB
    bool profileKept = false;      // it carries the original's colour profile
    std::string dateTaken;  // "YYYY:MM:DD HH:MM:SS" from elsewhere (XMP), for a block without one
};

// The payload of an EXIF block that holds nothing yet: rewriteExif fills
// in what a new picture's block needs.
std::vector<unsigned char> emptyExif();

// The most an APP1 segment can carry behind its length field.
constexpr std::size_t maxExifPayload = 65533;

// A new Exif APP1 payload ("Exif\0\0" and TIFF data) rebuilt from the
// original payload: IFD0, the Exif and interoperability directories and,
// when asked, the GPS directory, in the original byte order, with the new
// size and orientation. Left out: the thumbnail (IFD1), the maker note
// (its inner offsets would no longer hold), XMP and profile copies, and
// every entry that points at data outside itself (strips, tiles, unknown
// directories). When the result would not fit one segment, the largest
// values go first. Reads only inside the payload; empty when the original
// is malformed.
std::vector<unsigned char> rewriteExif(const unsigned char* payload, std::size_t size, const ExifChanges& changes);
