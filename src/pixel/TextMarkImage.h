#pragma once

#include <wx/image.h>

#include "pixel/TextRenderer.h"

// A drawn text as a watermark with its own transparency: the letters in
// colour (r, g, b) over their shadow, in black behind light letters and in
// white behind dark ones, both at the opacity.
wxImage textMarkImage(const TextCoverage& drawn, const unsigned char colour[3], double opacity);
