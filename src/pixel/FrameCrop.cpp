#include "pixel/FrameCrop.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pixel/MarkPlacement.h"

namespace {

int colourfulness(const unsigned char* pixel)
{
    const int r = pixel[0], g = pixel[1], b = pixel[2];
    return std::max(std::max(r, g), b) - std::min(std::min(r, g), b);
}

}  // namespace

long long detailedStart(const wxImage& picture, bool alongWidth, long long kept)
{
    const int w = picture.GetWidth(), h = picture.GetHeight();
    const long long side = alongWidth ? w : h;
    if (kept >= side || !picture.IsOk())
        return 0;
    // Each column's (or row's) detail and colour, over every other row and
    // column: the crop's place needs no finer measure, and it costs a
    // quarter. A pixel's luma is worked out once, for its own differences
    // (to the pixel measured before it, across and down) and the next row's.
    std::vector<std::uint64_t> lines(static_cast<std::size_t>(side), 0);
    std::vector<int> above(static_cast<std::size_t>(w)), here(static_cast<std::size_t>(w));
    for (int y = 0; y < h; y += 2) {
        const unsigned char* pixel = picture.GetData() + std::size_t(y) * w * 3;
        std::uint64_t row = 0;
        for (int x = 0; x < w; x += 2, pixel += 6) {
            const std::size_t at = static_cast<std::size_t>(x);
            const int luma = here[at] = lumaAt(pixel);
            const int score = colourfulness(pixel) + (x > 0 ? std::abs(luma - here[at - 2]) : 0) +
                              (y > 0 ? std::abs(luma - above[at]) : 0);
            if (alongWidth)
                lines[at] += static_cast<std::uint64_t>(score);
            else
                row += static_cast<std::uint64_t>(score);
        }
        if (!alongWidth)
            lines[static_cast<std::size_t>(y)] = row;
        here.swap(above);
    }
    std::uint64_t sum = 0;
    for (long long i = 0; i < kept; ++i)
        sum += lines[static_cast<std::size_t>(i)];
    const long long centre = (side - kept) / 2;
    long long best = 0;
    std::uint64_t most = sum;
    for (long long start = 1; start + kept <= side; ++start) {
        sum += lines[static_cast<std::size_t>(start + kept - 1)];
        sum -= lines[static_cast<std::size_t>(start - 1)];
        if (sum > most || (sum == most && std::llabs(start - centre) < std::llabs(best - centre))) {
            most = sum;
            best = start;
        }
    }
    return best;
}

wxImage croppedPicture(const wxImage& picture, long long x, long long y, long long width, long long height)
{
    return picture.GetSubImage(wxRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                                      static_cast<int>(height)));
}

wxImage framedPicture(const wxImage& picture, long long width, long long height, const unsigned char rgb[3])
{
    wxImage frame(static_cast<int>(width), static_cast<int>(height), false);
    unsigned char* out = frame.GetData();
    for (long long i = 0; i < width * height; ++i, out += 3)
        std::copy(rgb, rgb + 3, out);
    frame.Paste(picture, static_cast<int>((width - picture.GetWidth()) / 2),
                static_cast<int>((height - picture.GetHeight()) / 2));
    return frame;
}
