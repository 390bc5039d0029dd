#pragma once

#include <string>
#include <vector>

#include <wx/image.h>

// The RGB picture encoded as lossy WebP at the quality (1..100), with the
// colour profile, the EXIF payload ("Exif\0\0" and its TIFF data, stored
// as the format wants it, without the signature) and the processing record
// when given, in the container's chunks. Empty, with problem saying why,
// when it cannot be encoded (WebP takes at most 16383 pixels a side).
std::vector<unsigned char> webpBytes(const wxImage& picture, long quality, const std::vector<unsigned char>& iccProfile,
                                     const std::vector<unsigned char>& exif, const std::string& record,
                                     std::string& problem);

// The processing record a WebP file of this program carries; empty for
// any other file.
std::string webpRecord(const std::vector<unsigned char>& file);

// The four bytes every WebP file starts with at offset 8.
bool isWebp(const std::vector<unsigned char>& head);
