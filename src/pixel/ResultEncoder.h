#pragma once

#include <string>
#include <vector>

#include <wx/image.h>

#include "pixel/JpegEncoder.h"

enum class ResultFormat { jpeg, webp };

// How a result is written: its format and quality, JPEG's layout, and a
// limit on its size in bytes (0: none).
struct ResultStyle {
    ResultFormat format = ResultFormat::jpeg;
    long quality = 82;
    JpegLayout layout;
    long long maxBytes = 0;
};

// A result's bytes, the quality they were encoded at, how many encodes it
// took, and whether even the lowest quality was over the limit (the bytes
// are then those of the lowest quality). Empty bytes with problem saying
// why when the picture cannot be encoded.
struct EncodedResult {
    std::vector<unsigned char> bytes;
    long quality = 0;
    int encodes = 0;
    bool overLimit = false;
    std::string problem;
};

// Encodes the picture with its profile, EXIF payload and record as the
// style says. Under a size limit, the quality is the largest not above the
// chosen one whose result fits, found by encoding again only: each guess
// interpolates the sizes seen so far, and the answer is proven by the next
// quality up not fitting.
EncodedResult encodeResult(const wxImage& picture, const ResultStyle& style,
                           const std::vector<unsigned char>& iccProfile, const std::vector<unsigned char>& exif,
                           const std::string& record);

// The lowest quality a size limit goes down to.
constexpr long lowestQuality = 1;
