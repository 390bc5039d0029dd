#include "pixel/Resample.h"

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

LanczosTaps tapsFor(int in, int out)
{
    const double scale = double(in) / out;
    // Reducing, the filter widens to cover the input samples of one output.
    const double stretch = std::max(scale, 1.0);
    const double support = lobes * stretch;
    LanczosTaps t;
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

// One output row, the weighted sum of count input rows: the inner loop is
// plain multiply-adds that the compiler vectorises.
inline __attribute__((always_inline)) void filterRowWith(const unsigned char* const* sources,
                                                         const std::int32_t* weights, int count, std::size_t rowBytes,
                                                         std::int32_t* __restrict sums, unsigned char* __restrict out)
{
    std::fill(sums, sums + rowBytes, one / 2);
    for (int k = 0; k < count; ++k) {
        const std::int32_t weight = weights[k];
        if (weight == 0)
            continue;
        const unsigned char* __restrict source = sources[k];
        for (std::size_t i = 0; i < rowBytes; ++i)
            sums[i] += weight * source[i];
    }
    for (std::size_t i = 0; i < rowBytes; ++i) {
        const std::int32_t value = sums[i] >> weightBits;
        out[i] = static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
    }
}

void filterRowPlain(const unsigned char* const* sources, const std::int32_t* weights, int count,
                    std::size_t rowBytes, std::int32_t* sums, unsigned char* out)
{
    filterRowWith(sources, weights, count, rowBytes, sums, out);
}

// The same for processors with AVX2, twice as wide. Chosen at run time, not
// through an ifunc, which the sanitizers' runtimes cannot take.
__attribute__((target("avx2"))) void filterRowAvx2(const unsigned char* const* sources, const std::int32_t* weights,
                                                   int count, std::size_t rowBytes, std::int32_t* sums,
                                                   unsigned char* out)
{
    filterRowWith(sources, weights, count, rowBytes, sums, out);
}

using RowFilter = void (*)(const unsigned char* const*, const std::int32_t*, int, std::size_t, std::int32_t*,
                           unsigned char*);

RowFilter rowFilter()
{
    static const bool avx2 = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return avx2 ? filterRowAvx2 : filterRowPlain;
}

// Each of outRows rows from the input rows its taps name.
void filterRows(const unsigned char* in, std::size_t rowBytes, int inRows, const LanczosTaps& taps, int outRows,
                unsigned char* out)
{
    const RowFilter filter = rowFilter();
    const int count = std::min(taps.taps, inRows);
    std::vector<std::int32_t> sums(rowBytes);
    std::vector<const unsigned char*> sources(static_cast<std::size_t>(count));
    for (int y = 0; y < outRows; ++y, out += rowBytes) {
        for (int k = 0; k < count; ++k)
            sources[std::size_t(k)] = in + rowBytes * std::size_t(taps.first[std::size_t(y)] + k);
        filter(sources.data(), &taps.weights[std::size_t(y) * taps.taps], count, rowBytes, sums.data(), out);
    }
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

LanczosShrink::LanczosShrink(int inWidth, int inHeight, int width, int height)
    : inWidth_(inWidth),
      width_(width),
      height_(height),
      down_(tapsFor(inHeight, height)),
      count_(std::min(down_.taps, inHeight)),
      rowBytes_(std::size_t(inWidth) * 3),
      window_(rowBytes_ * count_),
      sums_(rowBytes_),
      sources_(static_cast<std::size_t>(count_)),
      shallow_(new unsigned char[rowBytes_ * height])
{
}

void LanczosShrink::addRow()
{
    const int row = rowsIn_++;
    // Every output row whose last input row this is: its first ones are
    // still in the window, which holds as many rows as a row reads.
    const RowFilter filter = rowFilter();
    for (; rowsOut_ < height_ && down_.first[std::size_t(rowsOut_)] + count_ - 1 <= row; ++rowsOut_) {
        for (int k = 0; k < count_; ++k)
            sources_[std::size_t(k)] = &window_[rowBytes_ * std::size_t((down_.first[std::size_t(rowsOut_)] + k) % count_)];
        filter(sources_.data(), &down_.weights[std::size_t(rowsOut_) * down_.taps], count_, rowBytes_, sums_.data(),
               shallow_.get() + rowBytes_ * std::size_t(rowsOut_));
    }
}

wxImage LanczosShrink::finish()
{
    // Across as down again, on the picture turned on its side.
    const std::size_t shallowBytes = rowBytes_ * height_;
    std::unique_ptr<unsigned char[]> turned(new unsigned char[shallowBytes]);
    transpose(shallow_.get(), inWidth_, height_, turned.get());
    shallow_.reset();
    std::unique_ptr<unsigned char[]> narrow(new unsigned char[std::size_t(width_) * height_ * 3]);
    filterRows(turned.get(), std::size_t(height_) * 3, inWidth_, tapsFor(inWidth_, width_), width_, narrow.get());
    turned.reset();
    wxImage result(width_, height_, false);
    transpose(narrow.get(), height_, width_, result.GetData());
    return result;
}

wxImage resampleLanczos3(const wxImage& picture, int width, int height)
{
    LanczosShrink shrink(picture.GetWidth(), picture.GetHeight(), width, height);
    const unsigned char* row = picture.GetData();
    const std::size_t rowBytes = std::size_t(picture.GetWidth()) * 3;
    for (int y = 0; y < picture.GetHeight(); ++y, row += rowBytes) {
        std::copy(row, row + rowBytes, shrink.nextRow());
        shrink.addRow();
    }
    return shrink.finish();
}
