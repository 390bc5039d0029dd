#pragma once

#include <string>

// "#RRGGBB" (or "RRGGBB") as its three channels; false for anything else.
bool colourFromText(const std::string& text, unsigned char rgb[3]);
