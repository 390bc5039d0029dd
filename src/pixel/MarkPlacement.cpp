#include "pixel/MarkPlacement.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "pixel/Watermark.h"

namespace {

const char* const names[] = {"top-left", "top", "top-right", "left", "centre", "right",
                             "bottom-left", "bottom", "bottom-right"};

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

const char* placeName(int place)
{
    return place >= 1 && place <= 9 ? names[place - 1] : "";
}

int placeFromText(const std::string& text)
{
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '9')
        return text[0] - '0';
    for (int i = 0; i < 9; ++i)
        if (text == names[i] || (i == 4 && (text == "center" || text == "middle")))
            return i + 1;
    return 0;
}

bool placesFromList(const std::string& list, std::vector<int>& places)
{
    places.clear();
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const int place = placeFromText(list.substr(start, comma - start));
        if (place == 0)
            return false;
        if (std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
        start = comma + 1;
    }
    std::sort(places.begin(), places.end());
    return !places.empty();
}

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
