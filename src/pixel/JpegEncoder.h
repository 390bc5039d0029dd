#pragma once

#include <vector>

#include <wx/image.h>

// How a JPEG is laid out beyond its quality: progressive scans (shown
// coarse first on a slow line), and colour at full resolution (4:4:4) at
// every quality.
struct JpegLayout {
    bool progressive = false;
    bool fullChroma = false;
};

// The RGB picture encoded with libjpeg as baseline JFIF at the quality
// (clamped to 1..100), as the toolkit's own encoder writes it, but for one
// thing: from quality 90 on, colour keeps its full resolution (4:4:4).
// Whoever asks for such a quality wants the detail, and halving the colour
// would cost more than the quality gains. The layout may ask for more.
// Empty when it cannot be encoded.
std::vector<unsigned char> compressJpeg(const wxImage& picture, long quality, const JpegLayout& layout = {});

constexpr long fullColourQuality = 90;
