#include "pixel/MarkPlaces.h"

#include <algorithm>

namespace {

const char* const names[] = {"top-left", "top", "top-right", "left", "centre", "right",
                             "bottom-left", "bottom", "bottom-right"};

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
