#include "pixel/Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "platform/ProcessorFeatures.h"

namespace {

constexpr int weightBits = 14;
constexpr int one = 1 << weightBits;
constexpr double lobes = 3;

// The filter at x = (from + k) / stretch for k from 0 to count - 1, into w.
// The two sines of each tap come from the previous tap's by turning through
// a fixed angle, four library calls for the run instead of two a tap: a
// picture asks for tens of thousands of taps, and some C libraries take a
// tenth of a microsecond a sine.
void lanczos3Run(double from, double stretch, int count, double* w)
{
    const double turn = M_PI / stretch;
    const double turnCos = std::cos(turn), turnSin = std::sin(turn);
    const double thirdCos = std::cos(turn / lobes), thirdSin = std::sin(turn / lobes);
    const double start = M_PI * from / stretch;
    double sin1 = std::sin(start), cos1 = std::cos(start);
    double sin3 = std::sin(start / lobes), cos3 = std::cos(start / lobes);
    for (int k = 0; k < count; ++k) {
        const double x = (from + k) / stretch;
        const double px = M_PI * x;
        // At the centre the limit; there the turned sines are only near zero.
        w[k] = std::abs(x) < 1e-9 ? 1 : x <= -lobes || x >= lobes ? 0 : lobes * sin1 * sin3 / (px * px);
        const double nextSin1 = sin1 * turnCos + cos1 * turnSin;
        cos1 = cos1 * turnCos - sin1 * turnSin;
        sin1 = nextSin1;
        const double nextSin3 = sin3 * thirdCos + cos3 * thirdSin;
        cos3 = cos3 * thirdCos - sin3 * thirdSin;
        sin3 = nextSin3;
    }
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
        lanczos3Run(first + 0.5 - centre, stretch, last - first, w.data());
        double sum = 0;
        for (int k = 0; k < last - first; ++k)
            sum += w[static_cast<std::size_t>(k)];
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

inline unsigned char clipped(std::int32_t sum)
{
    const std::int32_t value = sum >> weightBits;
    return static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Across a row in plain code: each output sample the weighted sum of the
// count input samples its taps name.
void acrossPlain(const unsigned char* row, const LanczosTaps& taps, int count, int width, unsigned char* out)
{
    for (int x = 0; x < width; ++x, out += 3) {
        const unsigned char* source = row + 3 * std::size_t(taps.first[std::size_t(x)]);
        const std::int32_t* weights = &taps.weights[std::size_t(x) * taps.taps];
        std::int32_t r = one / 2, g = one / 2, b = one / 2;
        for (int k = 0; k < count; ++k, source += 3) {
            r += weights[k] * source[0];
            g += weights[k] * source[1];
            b += weights[k] * source[2];
        }
        out[0] = clipped(r);
        out[1] = clipped(g);
        out[2] = clipped(b);
    }
}

// An RGB row's channels apart, widened to 16 bits for the multiply-adds.
void apartPlain(const unsigned char* row, std::size_t width, std::int16_t* red, std::int16_t* green,
                std::int16_t* blue)
{
    for (std::size_t x = 0; x < width; ++x) {
        red[x] = row[3 * x];
        green[x] = row[3 * x + 1];
        blue[x] = row[3 * x + 2];
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels at a time, each channel gathered from three loads.
__attribute__((target("avx2"))) void apartAvx2(const unsigned char* row, std::size_t width, std::int16_t* red,
                                               std::int16_t* green, std::int16_t* blue)
{
    std::size_t x = 0;
    // gather[channel][load]: where each of the 16 samples of the channel
    // lies in that load of 16 bytes, or -1 (zero) when in another.
    static const auto gather = [] {
        struct Masks {
            alignas(16) signed char at[3][3][16];
        } masks{};
        for (int channel = 0; channel < 3; ++channel)
            for (int load = 0; load < 3; ++load)
                for (int i = 0; i < 16; ++i) {
                    const int byte = 3 * i + channel;
                    masks.at[channel][load][i] = static_cast<signed char>(byte / 16 == load ? byte % 16 : -1);
                }
        return masks;
    }();
    std::int16_t* const planes[3] = {red, green, blue};
    for (; x + 16 <= width; x += 16) {
        const __m128i loads[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * x)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * x + 16)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * x + 32))};
        for (int c = 0; c < 3; ++c) {
            __m128i samples = _mm_setzero_si128();
            for (int load = 0; load < 3; ++load) {
                const __m128i mask = _mm_load_si128(reinterpret_cast<const __m128i*>(gather.at[c][load]));
                samples = _mm_or_si128(samples, _mm_shuffle_epi8(loads[load], mask));
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(planes[c] + x), _mm256_cvtepu8_epi16(samples));
        }
    }
    apartPlain(row + 3 * x, width - x, red + x, green + x, blue + x);
}

// The same sums in 16-bit multiply-adds, eight taps at a time: the
// products and their sums are exact in 32 bits, so the bytes are the plain
// code's. planes holds the row's red, green and blue apart, each padded
// with zeros; weights has padded taps for each output sample.
__attribute__((target("sse2"))) void acrossSse2(const std::int16_t* planes, std::size_t planeSize, const int* first,
                                                const std::int16_t* weights, int padded, int width,
                                                unsigned char* out)
{
    for (int x = 0; x < width; ++x, out += 3, weights += padded) {
        __m128i sums[3] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
        for (int j = 0; j < padded; j += 8) {
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + j));
            for (int c = 0; c < 3; ++c) {
                const std::int16_t* source = planes + c * planeSize + first[x] + j;
                sums[c] = _mm_add_epi32(sums[c], _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source)), w));
            }
        }
        for (int c = 0; c < 3; ++c) {
            __m128i sum = _mm_add_epi32(sums[c], _mm_shuffle_epi32(sums[c], 0x4E));
            sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, 0xB1));
            out[c] = clipped(_mm_cvtsi128_si32(sum) + one / 2);
        }
    }
}

// Sixteen taps at a time, and the last eight apart (21 taps, a shrink by
// about three, would otherwise take 32).
__attribute__((target("avx2"))) void acrossAvx2(const std::int16_t* planes, std::size_t planeSize, const int* first,
                                                const std::int16_t* weights, int padded, int width,
                                                unsigned char* out)
{
    const int whole = padded / 16 * 16;
    for (int x = 0; x < width; ++x, out += 3, weights += padded) {
        __m256i sums[3] = {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256()};
        for (int j = 0; j < whole; j += 16) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + j));
            for (int c = 0; c < 3; ++c) {
                const std::int16_t* source = planes + c * planeSize + first[x] + j;
                sums[c] = _mm256_add_epi32(
                    sums[c], _mm256_madd_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(source)), w));
            }
        }
        if (whole < padded) {
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + whole));
            for (int c = 0; c < 3; ++c) {
                const std::int16_t* source = planes + c * planeSize + first[x] + whole;
                const __m128i part = _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source)), w);
                sums[c] = _mm256_add_epi32(sums[c], _mm256_zextsi128_si256(part));
            }
        }
        // The three sums at once, rounded, shifted and clamped as clipped() does.
        const __m256i pairs = _mm256_hadd_epi32(_mm256_hadd_epi32(sums[0], sums[1]),
                                                _mm256_hadd_epi32(sums[2], _mm256_setzero_si256()));
        __m128i total = _mm_add_epi32(_mm256_castsi256_si128(pairs), _mm256_extracti128_si256(pairs, 1));
        total = _mm_srai_epi32(_mm_add_epi32(total, _mm_set1_epi32(one / 2)), weightBits);
        const int rgb = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(total, total), total));
        std::memcpy(out, &rgb, 3);
    }
}
#endif

}  // namespace

ResamplePath fastestResamplePath()
{
#if defined(__x86_64__) || defined(__i386__)
    return processorHasAvx2() ? ResamplePath::avx2 : ResamplePath::sse2;
#else
    return ResamplePath::plain;
#endif
}

LanczosShrink::LanczosShrink(int inWidth, int inHeight, int width, int height, ResamplePath path)
    : width_(width),
      height_(height),
      path_(path),
      across_(tapsFor(inWidth, width)),
      down_(tapsFor(inHeight, height)),
      acrossCount_(std::min(across_.taps, inWidth)),
      downCount_(std::min(down_.taps, inHeight)),
      narrowBytes_(std::size_t(width) * 3),
      input_(std::size_t(inWidth) * 3),
      ring_(narrowBytes_ * std::size_t(downCount_)),
      sums_(narrowBytes_),
      sources_(static_cast<std::size_t>(downCount_)),
      result_(width, height, false)
{
    if (path_ == ResamplePath::plain)
        return;
    paddedTaps_ = (acrossCount_ + 7) / 8 * 8;
    weights16_.assign(std::size_t(width) * paddedTaps_, 0);
    for (int x = 0; x < width; ++x)
        for (int k = 0; k < acrossCount_; ++k) {
            const std::int32_t weight = across_.weights[std::size_t(x) * across_.taps + k];
            // Never so far from one; should it be, the plain code is exact.
            if (weight < INT16_MIN || weight > INT16_MAX) {
                path_ = ResamplePath::plain;
                return;
            }
            weights16_[std::size_t(x) * paddedTaps_ + k] = static_cast<std::int16_t>(weight);
        }
    planes_.assign(3 * (std::size_t(inWidth) + paddedTaps_), 0);
}

void LanczosShrink::addRow()
{
    const int row = rowsIn_++;
    unsigned char* narrow = &ring_[narrowBytes_ * std::size_t(row % downCount_)];
#if defined(__x86_64__) || defined(__i386__)
    if (path_ != ResamplePath::plain) {
        const std::size_t inWidth = input_.size() / 3, planeSize = planes_.size() / 3;
        (path_ == ResamplePath::avx2 ? apartAvx2 : apartPlain)(input_.data(), inWidth, planes_.data(),
                                                               planes_.data() + planeSize,
                                                               planes_.data() + 2 * planeSize);
        (path_ == ResamplePath::avx2 ? acrossAvx2 : acrossSse2)(planes_.data(), planeSize, across_.first.data(),
                                                                 weights16_.data(), paddedTaps_, width_, narrow);
    } else
#endif
    {
        acrossPlain(input_.data(), across_, acrossCount_, width_, narrow);
    }
    // Every output row whose last input row this is: its first ones are
    // still in the ring, which holds as many rows as a row reads.
    const RowFilter filter = path_ == ResamplePath::avx2 ? filterRowAvx2 : filterRowPlain;
    for (; rowsOut_ < height_ && down_.first[std::size_t(rowsOut_)] + downCount_ - 1 <= row; ++rowsOut_) {
        for (int k = 0; k < downCount_; ++k)
            sources_[std::size_t(k)] =
                &ring_[narrowBytes_ * std::size_t((down_.first[std::size_t(rowsOut_)] + k) % downCount_)];
        filter(sources_.data(), &down_.weights[std::size_t(rowsOut_) * down_.taps], downCount_, narrowBytes_,
               sums_.data(), result_.GetData() + narrowBytes_ * std::size_t(rowsOut_));
    }
}

wxImage LanczosShrink::finish()
{
    return result_;
}

wxImage resampleLanczos3(const wxImage& picture, int width, int height, ResamplePath path)
{
    LanczosShrink shrink(picture.GetWidth(), picture.GetHeight(), width, height, path);
    const unsigned char* row = picture.GetData();
    const std::size_t rowBytes = std::size_t(picture.GetWidth()) * 3;
    for (int y = 0; y < picture.GetHeight(); ++y, row += rowBytes) {
        std::copy(row, row + rowBytes, shrink.nextRow());
        shrink.addRow();
    }
    return shrink.finish();
}

wxImage resampleLanczos3(const wxImage& picture, int width, int height)
{
    return resampleLanczos3(picture, width, height, fastestResamplePath());
}
