#include "jpeg/FancyUpsampling.h"

#include "platform/ProcessorFeatures.h"

namespace {

// A sample in 0..255, rounded and clamped: a flat block's value comes
// unrounded and may lie beyond the range.
inline int sampleOf(float value)
{
    const int rounded = static_cast<int>(value + 128.5f);
    return rounded < 0 ? 0 : rounded > 255 ? 255 : rounded;
}

// The stored row in work[1..count], blended with the far row when stretched
// down, and each end repeated beyond it.
inline __attribute__((always_inline)) void upsampleWith(const float* near, const float* far, bool farBelow,
                                                        int count, int across, int down, float* out, int* work)
{
    int* const column = work + 1;
    if (down == 2) {
        for (int i = 0; i < count; ++i)
            column[i] = 3 * sampleOf(near[i]) + sampleOf(far[i]);
    } else {
        for (int i = 0; i < count; ++i)
            column[i] = sampleOf(near[i]);
    }
    if (across == 1) {
        // Stretched down only: a quarter of the far row, rounded down above
        // the stored row and up below it.
        const int bias = farBelow ? 2 : 1;
        for (int i = 0; i < count; ++i)
            out[i] = static_cast<float>(((column[i] + bias) >> 2) - 128);
        return;
    }
    column[-1] = column[0];
    column[count] = column[count - 1];
    // Across: the left sample of each pair leans on its left neighbour and
    // rounds down, the right one on its right neighbour and rounds up; in
    // sixteenths when the rows were blended.
    const int shift = down == 2 ? 4 : 2;
    const int left = down == 2 ? 8 : 1, right = down == 2 ? 7 : 2;
    for (int i = 0; i < count; ++i) {
        out[2 * i] = static_cast<float>(((3 * column[i] + column[i - 1] + left) >> shift) - 128);
        out[2 * i + 1] = static_cast<float>(((3 * column[i] + column[i + 1] + right) >> shift) - 128);
    }
}

void upsamplePlain(const float* near, const float* far, bool farBelow, int count, int across, int down, float* out,
                   int* work)
{
    upsampleWith(near, far, farBelow, count, across, down, out, work);
}

__attribute__((target("avx2"))) void upsampleAvx2(const float* near, const float* far, bool farBelow, int count,
                                                  int across, int down, float* out, int* work)
{
    upsampleWith(near, far, farBelow, count, across, down, out, work);
}

}  // namespace

void fancyUpsampleRow(const float* near, const float* far, bool farBelow, int count, int across, int down,
                      float* out, int* work)
{
    static const auto upsample = processorHasAvx2() ? upsampleAvx2 : upsamplePlain;
    upsample(near, far, farBelow, count, across, down, out, work);
}
