#include "pixel/MarkPlacement.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "pixel/Watermark.h"

namespace {

// The mark's box at the place, clipped to the picture.
struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

Box boxAt(const wxImage& picture, int width, int height, int margin, int place)
{
    int x = 0, y = 0;
    wmPosition(place, picture.GetWidth(), picture.GetHeight(), width, height, x, y, margin);
    return {std::max(0, x), std::max(0, y), std::min(picture.GetWidth(), x + width),
            std::min(picture.GetHeight(), y + height)};
}

}  // namespace

int calmestPlace(const wxImage& picture, int width, int height, int margin, const std::vector<int>& places)
{
    int best = 0;
    std::uint64_t calmest = 0;
    const int stride = picture.GetWidth() * 3;
    for (const int place : places) {
        const Box box = boxAt(picture, width, height, margin, place);
        std::uint64_t detail = 0;
        for (int y = box.y0; y < box.y1; ++y) {
            const unsigned char* row = picture.GetData() + std::size_t(y) * stride;
            const unsigned char* below = y + 1 < box.y1 ? row + stride : nullptr;
            for (int x = box.x0; x < box.x1; ++x) {
                const int here = lumaAt(row + 3 * x);
                if (x + 1 < box.x1)
                    detail += std::abs(lumaAt(row + 3 * (x + 1)) - here);
                if (below)
                    detail += std::abs(lumaAt(below + 3 * x) - here);
            }
        }
        if (best == 0 || detail < calmest) {
            best = place;
            calmest = detail;
        }
    }
    return best;
}

bool brightGround(const wxImage& picture, int width, int height, int margin, int place)
{
    const Box box = boxAt(picture, width, height, margin, place);
    std::uint64_t sum = 0, count = 0;
    for (int y = box.y0; y < box.y1; ++y) {
        const unsigned char* row = picture.GetData() + (std::size_t(y) * picture.GetWidth() + box.x0) * 3;
        for (int x = box.x0; x < box.x1; ++x, row += 3, ++count)
            sum += lumaAt(row);
    }
    return count > 0 && sum * 2 >= count * 255;
}
