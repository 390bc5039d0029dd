#include "jpeg/ReducedIdct.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

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
    bySize[(across - 1) * 8 + down - 1](coefficients, samples, stride);
}
