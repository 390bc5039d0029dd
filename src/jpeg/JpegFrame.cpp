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
    // Samples a block gives across or down: up to 8, or 16 for colour
    // stored at half resolution at full size, which is decoded whole and
    // stretched.
    const auto shown = [&](int factor, int maxFactor) { return numerator * maxFactor / factor; };
    const auto taken = [&](int samples) { return samples <= 8 || (numerator == 8 && samples == 16); };
    bool ours = numerator > 0;
    for (int c = 0; c < components; ++c)
        ours = ours && horizontal[c] > 0 && vertical[c] > 0 && taken(shown(horizontal[c], maxH)) &&
               taken(shown(vertical[c], maxV));
    std::uint64_t bytes = 0;
    for (int c = 0; c < components; ++c) {
        const std::uint64_t count = blocks(width, horizontal[c], maxH) * blocks(height, vertical[c], maxV);
        bytes += ours ? CoefficientStore::bytesFor(count, std::min(8, shown(horizontal[c], maxH)) *
                                                              std::min(8, shown(vertical[c], maxV)))
                      : count * 64 * 2;
    }
    return bytes;
}
