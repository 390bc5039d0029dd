#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>

struct LoadedPicture;

// Decodes the JPEG stream of a file with libjpeg into an RGB picture; CMYK
// and YCCK pictures are converted as the toolkit converts them. When box is
// positive and the picture is larger, it decodes at the reduced scale that
// boxScaleDenominator picks.
//
// False for anything short of the whole picture: a libjpeg error, a warning
// that means missing or made-up pixels (premature end of file, corrupt
// entropy data), more than memoryLimit bytes for the decoder's buffers and
// the pixels together, or more scans than any encoder writes. libjpeg
// itself would fill the missing part grey and carry on. Also false when the
// cancel flag is set while it decodes.
bool decodeJpeg(std::FILE* file, int box, std::size_t memoryLimit, LoadedPicture& picture,
                const std::atomic<bool>* cancel = nullptr);
