#pragma once

#include <wx/image.h>

// Where a cover frame's crop goes along the side it slides on: the window
// of `kept` lines (columns when alongWidth, else rows) that holds the most
// detail and colour, measured much as calmestPlace measures a mark's
// ground (the luma's differences to its neighbours across and down, here
// over every other row and column) plus each pixel's colourfulness (its
// largest channel less its smallest). Ties go to the window nearest the centre.
// Integer sums: the same crop on every system.
long long detailedStart(const wxImage& picture, bool alongWidth, long long kept);

// The picture's part from (x, y), width x height.
wxImage croppedPicture(const wxImage& picture, long long x, long long y, long long width, long long height);

// The picture centred in a width x height frame of the colour around it;
// where a side is odd, the extra pixel goes after it.
wxImage framedPicture(const wxImage& picture, long long width, long long height, const unsigned char rgb[3]);
