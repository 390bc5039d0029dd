#include "batch/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int weightBits = 14;
constexpr int one = 1 << weightBits;
constexpr double lobes = 3;

double lanczos3(double x)
{
    if (x == 0)
        return 1;
    if (x <= -lobes || x >= lobes)
        return 0;
    const double px = M_PI * x;
    return lobes * std::sin(px) * std::sin(px / lobes) / (px * px);
}

// For each output sample: the first input sample it reads and its weights,
// taps of them in all (zero weights at the picture's edges).
struct Taps {
    int taps = 0;
    std::vector<int> first;
    std::vector<std::int32_t> weights;  // taps per output sample
};

Taps tapsFor(int in, int out)
{
    const double scale = double(in) / out;
    // Reducing, the filter widens to cover the input samples of one output.
    const double stretch = std::max(scale, 1.0);
    const double support = lobes * stretch;
    Taps t;
    t.taps = static_cast<int>(std::ceil(support)) * 2 + 1;
    t.first.resize(static_cast<std::size_t>(out));
    t.weights.assign(static_cast<std::size_t>(out) * t.taps, 0);
    std::vector<double> w(static_cast<std::size_t>(t.taps));
    for (int o = 0; o < out; ++o) {
        const double centre = (o + 0.5) * scale;
        const int first = std::max(0, static_cast<int>(std::floor(centre - support)));
        const int last = std::min(in, static_cast<int>(std::ceil(centre + support)));
        double sum = 0;
        for (int k = 0; k < last - first; ++k)
            sum += w[static_cast<std::size_t>(k)] = lanczos3((first + k + 0.5 - centre) / stretch);
        // The window of taps stays inside the input wherever it fits, so
        // that every tap may be read; zero weights fill the rest.
        const int start = std::max(0, std::min(first, in - t.taps));
        t.first[static_cast<std::size_t>(o)] = start;
        std::int32_t* fixed = &t.weights[static_cast<std::size_t>(o) * t.taps + (first - start)];
        // In fixed point, summing to exactly one: what rounding leaves over
        // goes to the largest weight.
        std::int32_t total = 0;
        int largest = 0;
        for (int k = 0; k < last - first; ++k) {
            fixed[k] = static_cast<std::int32_t>(std::lround(w[static_cast<std::size_t>(k)] / sum * one));
            total += fixed[k];
            if (fixed[k] > fixed[largest])
                largest = k;
        }
        fixed[largest] += one - total;
    }
    return t;
}

// Each output row the weighted sum of a few input rows, whole rows at a
// time: the inner loop is plain multiply-adds that the compiler vectorises.
inline __attribute__((always_inline)) void filterRowsWith(const unsigned char* in, std::size_t rowBytes, int inRows,
                                                          const Taps& taps, int outRows, unsigned char* out)
{
    const int count = std::min(taps.taps, inRows);
    std::vector<std::int32_t> sums(rowBytes);
    for (int y = 0; y < outRows; ++y, out += rowBytes) {
        std::fill(sums.begin(), sums.end(), one / 2);
        const std::int32_t* w = &taps.weights[std::size_t(y) * taps.taps];
        const unsigned char* source = in + rowBytes * taps.first[std::size_t(y)];
        for (int k = 0; k < count; ++k, source += rowBytes) {
            const std::int32_t weight = w[k];
            if (weight == 0)
                continue;
            for (std::size_t i = 0; i < rowBytes; ++i)
                sums[i] += weight * source[i];
        }
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const std::int32_t value = sums[i] >> weightBits;
            out[i] = static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}

void filterRowsPlain(const unsigned char* in, std::size_t rowBytes, int inRows, const Taps& taps, int outRows,
                     unsigned char* out)
{
    filterRowsWith(in, rowBytes, inRows, taps, outRows, out);
}

// The same for processors with AVX2, twice as wide. Chosen at run time, not
// through an ifunc, which the sanitizers' runtimes cannot take.
__attribute__((target("avx2"))) void filterRowsAvx2(const unsigned char* in, std::size_t rowBytes, int inRows,
                                                    const Taps& taps, int outRows, unsigned char* out)
{
    filterRowsWith(in, rowBytes, inRows, taps, outRows, out);
}

void filterRows(const unsigned char* in, std::size_t rowBytes, int inRows, const Taps& taps, int outRows,
                unsigned char* out)
{
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    (avx2 ? filterRowsAvx2 : filterRowsPlain)(in, rowBytes, inRows, taps, outRows, out);
}

// Rows become columns: a width x height RGB picture into height x width.
void transpose(const unsigned char* in, int width, int height, unsigned char* out)
{
    constexpr int tile = 32;
    for (int y0 = 0; y0 < height; y0 += tile)
        for (int x0 = 0; x0 < width; x0 += tile)
            for (int y = y0; y < std::min(y0 + tile, height); ++y)
                for (int x = x0; x < std::min(x0 + tile, width); ++x) {
                    const unsigned char* p = in + (std::size_t(y) * width + x) * 3;
                    unsigned char* q = out + (std::size_t(x) * height + y) * 3;
                    q[0] = p[0];
                    q[1] = p[1];
                    q[2] = p[2];
                }
}

}  // namespace

wxImage resampleLanczos3(const wxImage& picture, int width, int height)
{
    const int inWidth = picture.GetWidth();
    const int inHeight = picture.GetHeight();
    // Every byte of these is written before it is read: no need to clear them.
    const std::size_t shallowBytes = std::size_t(inWidth) * height * 3;
    std::unique_ptr<unsigned char[]> shallow(new unsigned char[shallowBytes]);
    std::unique_ptr<unsigned char[]> turned(new unsigned char[shallowBytes]);
    std::unique_ptr<unsigned char[]> narrow(new unsigned char[std::size_t(width) * height * 3]);
    // Down, then across as down again on the picture turned on its side.
    filterRows(picture.GetData(), std::size_t(inWidth) * 3, inHeight, tapsFor(inHeight, height), height,
               shallow.get());
    transpose(shallow.get(), inWidth, height, turned.get());
    filterRows(turned.get(), std::size_t(height) * 3, inWidth, tapsFor(inWidth, width), width, narrow.get());
    wxImage result(width, height, false);
    transpose(narrow.get(), height, width, result.GetData());
    return result;
}
