#include "pixel/Sharpening.h"

#include <algorithm>
#include <vector>

namespace {

// How much of the detail is added, in 256ths, for low, standard and high.
constexpr int amounts[] = {0, 80, 150, 230};
// Differences up to this are noise and left alone.
constexpr int threshold = 2;
// How far a pixel may go beyond its neighbourhood's darkest and brightest.
constexpr int overshoot = 3;

const char* const names[] = {"off", "low", "standard", "high"};

}  // namespace

const char* sharpeningName(Sharpening level)
{
    return names[static_cast<int>(level)];
}

bool sharpeningFromName(const std::string& name, Sharpening& level)
{
    for (int i = 0; i < 4; ++i)
        if (name == names[i]) {
            level = static_cast<Sharpening>(i);
            return true;
        }
    return false;
}

void sharpen(wxImage& picture, Sharpening level)
{
    const int amount = amounts[static_cast<int>(level)];
    if (amount == 0 || !picture.IsOk())
        return;
    const int w = picture.GetWidth(), h = picture.GetHeight();
    unsigned char* data = picture.GetData();
    // A copy with its edge pixels repeated around it: every pixel has all
    // its neighbours.
    const std::size_t stride = std::size_t(w + 2) * 3;
    std::vector<unsigned char> padded(stride * (h + 2));
    for (int y = -1; y <= h; ++y) {
        const unsigned char* row = data + std::size_t(std::clamp(y, 0, h - 1)) * w * 3;
        unsigned char* out = padded.data() + std::size_t(y + 1) * stride;
        std::copy(row, row + 3, out);
        std::copy(row, row + std::size_t(w) * 3, out + 3);
        std::copy(row + std::size_t(w - 1) * 3, row + std::size_t(w) * 3, out + std::size_t(w + 1) * 3);
    }
    for (int y = 0; y < h; ++y) {
        const unsigned char* above = padded.data() + std::size_t(y) * stride;
        const unsigned char* middle = above + stride;
        const unsigned char* below = middle + stride;
        unsigned char* out = data + std::size_t(y) * w * 3;
        for (int i = 0; i < w * 3; ++i) {
            const int a0 = above[i], a1 = above[i + 3], a2 = above[i + 6];
            const int m0 = middle[i], m1 = middle[i + 3], m2 = middle[i + 6];
            const int b0 = below[i], b1 = below[i + 3], b2 = below[i + 6];
            const int sum = a0 + 2 * a1 + a2 + 2 * (m0 + 2 * m1 + m2) + b0 + 2 * b1 + b2;
            const int detail = m1 * 16 - sum;  // in 16ths
            const int darkest = std::min(std::min(std::min(a0, a1), std::min(a2, m0)),
                                         std::min(std::min(m1, m2), std::min(std::min(b0, b1), b2)));
            const int brightest = std::max(std::max(std::max(a0, a1), std::max(a2, m0)),
                                           std::max(std::max(m1, m2), std::max(std::max(b0, b1), b2)));
            // Rounded half away from zero, the same on every system; no
            // branch, so that the compiler can take many pixels at once.
            const int scaled = detail * amount;
            const int magnitude = ((scaled < 0 ? -scaled : scaled) + 2048) >> 12;
            const int added = detail > threshold * 16 ? magnitude : detail < -threshold * 16 ? -magnitude : 0;
            const int value = std::clamp(m1 + added, darkest - overshoot, brightest + overshoot);
            out[i] = static_cast<unsigned char>(std::clamp(value, 0, 255));
        }
    }
}
