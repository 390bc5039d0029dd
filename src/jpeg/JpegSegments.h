#pragma once

#include <cstddef>
#include <vector>

// Appends one marker segment: 0xFF, the marker, the length and the
// payload. False, with nothing appended, when the payload does not fit
// one segment.
bool appendSegment(std::vector<unsigned char>& out, int marker, const unsigned char* payload, std::size_t size);

// Inserts whole segments right behind the start of image and the JFIF
// header, where readers look for metadata. False, with the JPEG unchanged,
// when it is no JPEG.
bool insertAfterJfif(std::vector<unsigned char>& jpeg, const std::vector<unsigned char>& segments);
