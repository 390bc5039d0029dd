#pragma once

#include <vector>

#include <wx/image.h>

// The RGB picture encoded with libjpeg as baseline JFIF at the quality
// (clamped to 1..100), as the toolkit's own encoder writes it, but for one
// thing: from quality 90 on, colour keeps its full resolution (4:4:4).
// Whoever asks for such a quality wants the detail, and halving the colour
// would cost more than the quality gains. Empty when it cannot be encoded.
std::vector<unsigned char> compressJpeg(const wxImage& picture, long quality);

constexpr long fullColourQuality = 90;
