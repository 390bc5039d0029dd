#pragma once

#include <cstddef>
#include <cstdint>
#include <set>

#include "jpeg/ExifInfo.h"
#include "jpeg/TiffData.h"

class JpegSectionReader;

// Directories already entered during one parse, so that links that lead
// back (a directory to itself, IFD1 back to IFD0) cannot loop.
struct DirectoryWalk {
    static constexpr int maxDepth = 16;
    std::set<std::uint64_t> visited;
    int depth = 0;
};

// Parses the payload of an Exif APP1 section (payload points at the byte
// after the length field, size is the section's length value) and records
// the orientation in the reader's ExifInfo. Messages go to the reader's
// error text; the byte order to its bigEndian field.
bool parseExifSegment(JpegSectionReader& reader, const unsigned char* payload, int size);

// Walks the directory at directoryOffset of the TIFF data, its
// sub-directories and the directories its next link leads to.
bool walkDirectory(JpegSectionReader& reader, std::uint64_t directoryOffset, const TiffData& tiff,
                   ExifInfo& info, DirectoryWalk& walk);

// The first component of a value as a number, by its format code; 0 when
// fewer than one component's bytes are available.
double valueAsNumber(const JpegSectionReader& reader, const unsigned char* value,
                     std::size_t available, int format);
