#include "pixel/TextMarkImage.h"

#include <algorithm>
#include <cmath>

wxImage textMarkImage(const TextCoverage& drawn, const unsigned char colour[3], double opacity)
{
    if (drawn.width <= 0 || drawn.height <= 0)
        return wxImage();
    wxImage mark(drawn.width, drawn.height, false);
    mark.InitAlpha();
    // Rec. 601 luma: which of black and white stands apart from the letters.
    const int luma = (299 * colour[0] + 587 * colour[1] + 114 * colour[2]) / 1000;
    const double shade = luma >= 128 ? 0.0 : 255.0;
    const double strength = std::clamp(opacity, 0.0, 1.0);
    unsigned char* rgb = mark.GetData();
    unsigned char* alpha = mark.GetAlpha();
    const std::size_t pixels = std::size_t(drawn.width) * drawn.height;
    for (std::size_t i = 0; i < pixels; ++i, rgb += 3) {
        const double letter = drawn.text[i] / 255.0 * strength;
        const double behind = drawn.shadow.empty() ? 0.0 : drawn.shadow[i] / 255.0 * strength * (1.0 - letter);
        const double total = letter + behind;
        alpha[i] = static_cast<unsigned char>(std::lround(total * 255.0));
        for (int c = 0; c < 3; ++c)
            rgb[c] = total > 0 ? static_cast<unsigned char>(std::lround((colour[c] * letter + shade * behind) / total))
                               : 0;
    }
    return mark;
}
