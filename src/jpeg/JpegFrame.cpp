#include "jpeg/JpegFrame.h"

#include <algorithm>

namespace {

std::uint64_t blocks(int size, int factor, int maxFactor)
{
    // The component's own size, rounded up to whole 8 x 8 blocks.
    const std::uint64_t samples = (std::uint64_t(size) * factor + maxFactor - 1) / maxFactor;
    return (samples + 7) / 8;
}

}  // namespace

std::uint64_t JpegFrame::coefficientBytes() const
{
    const int maxH = *std::max_element(horizontal, horizontal + maxComponents);
    const int maxV = *std::max_element(vertical, vertical + maxComponents);
    std::uint64_t bytes = 0;
    for (int c = 0; c < components; ++c)
        bytes += blocks(width, horizontal[c], maxH) * blocks(height, vertical[c], maxV) * 64 * 2;
    return bytes;
}
