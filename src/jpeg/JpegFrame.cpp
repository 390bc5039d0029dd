#include "jpeg/JpegFrame.h"

#include <algorithm>

#include "jpeg/CoefficientStore.h"

namespace {

std::uint64_t blocks(int size, int factor, int maxFactor)
{
    // The component's own size, rounded up to whole 8 x 8 blocks.
    const std::uint64_t samples = (std::uint64_t(size) * factor + maxFactor - 1) / maxFactor;
    return (samples + 7) / 8;
}

}  // namespace

std::uint64_t JpegFrame::coefficientBytes(int numerator) const
{
    const int maxH = *std::max_element(horizontal, horizontal + maxComponents);
    const int maxV = *std::max_element(vertical, vertical + maxComponents);
    bool ours = numerator > 0;
    for (int c = 0; c < components; ++c)
        ours = ours && horizontal[c] > 0 && vertical[c] > 0 && numerator * maxH / horizontal[c] <= 8 &&
                  numerator * maxV / vertical[c] <= 8;
    std::uint64_t bytes = 0;
    for (int c = 0; c < components; ++c) {
        const std::uint64_t count = blocks(width, horizontal[c], maxH) * blocks(height, vertical[c], maxV);
        bytes += ours ? CoefficientStore::bytesFor(count, (numerator * maxH / horizontal[c]) *
                                                                 (numerator * maxV / vertical[c]))
                      : count * 64 * 2;
    }
    return bytes;
}
