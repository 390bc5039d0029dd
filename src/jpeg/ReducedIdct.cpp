#include "jpeg/ReducedIdct.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

#include "platform/ProcessorFeatures.h"

namespace {

// weights[size - 1][u][i]: what frequency u gives at sample i of size
// samples, in the 8-point transform's scale (a flat block of DC value d
// gives d / 8 everywhere): the mean of the full transform's pixels over the
// cell of 8 / size pixels that sample i stands for, as libjpeg's reduced
// transforms average them. Sampling the frequency at the cell's centre
// instead would make every reduced picture a little harsher than the
// average of its pixels.
struct Basis {
    float weights[8][8][8] = {};

    Basis()
    {
        const double pi = std::acos(-1.0);
        for (int size = 1; size <= 8; ++size)
            for (int u = 0; u < size; ++u)
                for (int i = 0; i < size; ++i) {
                    const double from = 8.0 * i / size, to = 8.0 * (i + 1) / size;
                    double sum = 0;
                    for (int x = 0; x < 8; ++x) {
                        const double covered = std::min<double>(to, x + 1) - std::max<double>(from, x);
                        if (covered > 0)
                            sum += covered * (u == 0 ? std::sqrt(0.5) : 1.0) / 2 *
                                   std::cos((2 * x + 1) * u * pi / 16);
                    }
                    weights[size - 1][u][i] = static_cast<float>(sum / (to - from));
                }
    }
};

const Basis& basis()
{
    static const Basis table;
    return table;
}

// Sizes known when compiled, so that the loops unroll.
template <int Across, int Down>
void transform(const float* coefficients, float* samples, std::ptrdiff_t stride)
{
    const auto& horizontal = basis().weights[Across - 1];
    const auto& vertical = basis().weights[Down - 1];
    float rows[Down][Across];
    for (int v = 0; v < Down; ++v)
        for (int i = 0; i < Across; ++i) {
            float sum = 0;
            for (int u = 0; u < Across; ++u)
                sum += coefficients[v * Across + u] * horizontal[u][i];
            rows[v][i] = sum;
        }
    for (int j = 0; j < Down; ++j)
        for (int i = 0; i < Across; ++i) {
            float sum = 0;
            for (int v = 0; v < Down; ++v)
                sum += vertical[v][j] * rows[v][i];
            samples[j * stride + i] = sum;
        }
}

// The whole block, a full-size decode's every block, exactly as libjpeg's
// default (integer) transform computes it, in its 13-bit fixed point with
// its two passes' scaling: a progressive picture decoded at full size here
// has libjpeg's very pixels. In 32 bits, as
// libjpeg says suffice for 8-bit samples; they wrap around rather than
// overflow on coefficients no photograph has.
constexpr int constBits = 13, pass1Bits = 2;
using Wide = std::uint32_t;

// One 8-point pass over eight lanes at once, in[k * 8 + lane] being input
// k of a lane: the even part, then the odd part from libjpeg's figure 8,
// descaled by bits. The lanes make the loop the compiler's vectors.
template <int Bits>
inline __attribute__((always_inline)) void islowLanes(const Wide* in, Wide* out)
{
    const auto descale = [](Wide value) {
        return static_cast<Wide>(static_cast<std::int32_t>(value + (Wide(1) << (Bits - 1))) >> Bits);
    };
    for (int lane = 0; lane < 8; ++lane) {
        const Wide* at = in + lane;
        Wide z2 = at[16], z3 = at[48];
        Wide z1 = (z2 + z3) * 4433;
        const Wide even2 = z1 - z3 * 15137, even3 = z1 + z2 * 6270;
        const Wide even0 = (at[0] + at[32]) << constBits, even1 = (at[0] - at[32]) << constBits;
        const Wide t10 = even0 + even3, t13 = even0 - even3, t11 = even1 + even2, t12 = even1 - even2;
        Wide t0 = at[56], t1 = at[40], t2 = at[24], t3 = at[8];
        z1 = t0 + t3;
        z2 = t1 + t2;
        z3 = t0 + t2;
        Wide z4 = t1 + t3;
        const Wide z5 = (z3 + z4) * 9633;
        t0 *= 2446;
        t1 *= 16819;
        t2 *= 25172;
        t3 *= 12299;
        z1 *= Wide(-7373);
        z2 *= Wide(-20995);
        z3 = z3 * Wide(-16069) + z5;
        z4 = z4 * Wide(-3196) + z5;
        t0 += z1 + z3;
        t1 += z2 + z4;
        t2 += z2 + z3;
        t3 += z1 + z4;
        out[lane] = descale(t10 + t3);
        out[56 + lane] = descale(t10 - t3);
        out[8 + lane] = descale(t11 + t2);
        out[48 + lane] = descale(t11 - t2);
        out[16 + lane] = descale(t12 + t1);
        out[40 + lane] = descale(t12 - t1);
        out[24 + lane] = descale(t13 + t0);
        out[32 + lane] = descale(t13 - t0);
    }
}

// A sample without its level shift, clamped as libjpeg-turbo's vector code
// clamps it. (Its plain code's table wraps values past ±512 round, which
// only hostile coefficients reach.)
inline int rangeLimited(int value)
{
    return value < -128 ? 0 : value > 127 ? 255 : value + 128;
}

// Columns, then rows: each pass reads its lanes across.
inline __attribute__((always_inline)) void fullTransformWith(const float* coefficients, float* samples,
                                                             std::ptrdiff_t stride)
{
    Wide in[64], work[64], across[64], out[64];
    for (int k = 0; k < 64; ++k)
        in[k] = static_cast<Wide>(static_cast<std::int32_t>(coefficients[k]));
    islowLanes<constBits - pass1Bits>(in, work);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            across[column * 8 + row] = work[row * 8 + column];
    islowLanes<constBits + pass1Bits + 3>(across, out);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column)
            samples[row * stride + column] =
                static_cast<float>(rangeLimited(static_cast<std::int32_t>(out[column * 8 + row])) - 128);
}

void fullTransformPlain(const float* coefficients, float* samples, std::ptrdiff_t stride)
{
    fullTransformWith(coefficients, samples, stride);
}

__attribute__((target("avx2"))) void fullTransformAvx2(const float* coefficients, float* samples,
                                                       std::ptrdiff_t stride)
{
    fullTransformWith(coefficients, samples, stride);
}

using Transform = void (*)(const float*, float*, std::ptrdiff_t);

template <std::size_t... Index>
constexpr std::array<Transform, 64> transforms(std::index_sequence<Index...>)
{
    return {{&transform<Index / 8 + 1, Index % 8 + 1>...}};
}

constexpr auto bySize = transforms(std::make_index_sequence<64>{});

}  // namespace

void reducedIdct(const float* coefficients, int across, int down, float* samples, std::ptrdiff_t stride)
{
    if (across == 8 && down == 8) {
        static const auto full = processorHasAvx2() ? fullTransformAvx2 : fullTransformPlain;
        return full(coefficients, samples, stride);
    }
    bySize[(across - 1) * 8 + down - 1](coefficients, samples, stride);
}
