#include "text/ColourText.h"

bool colourFromText(const std::string& text, unsigned char rgb[3])
{
    // prefs.cfg cuts a line at "#": a hand-written colour may go without.
    const std::string hex = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    for (int c = 0; c < 3; ++c)
        rgb[c] = static_cast<unsigned char>(std::stoi(hex.substr(2 * c, 2), nullptr, 16));
    return true;
}
