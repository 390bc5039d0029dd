#pragma once

#include <vector>

#include <wx/image.h>

#include "pixel/MarkPlaces.h"

// Rec. 601 luma in integers, 0..255, as the measures of a picture's ground take it.
inline int lumaAt(const unsigned char* rgb)
{
    return (77 * rgb[0] + 150 * rgb[1] + 29 * rgb[2]) >> 8;
}

// Of the allowed places, where a width x height mark, margin pixels off the
// edges, covers the calmest part of the picture: the least detail, as the
// sum of the luma's differences to the right and down neighbours over the
// mark's box. Ties go to the earlier place. Integer sums: the same answer
// on every system. 0 for no allowed place.
int calmestPlace(const wxImage& picture, int width, int height, int margin, const std::vector<int>& places);

// Whether the ground under a width x height mark at the place is bright:
// its mean luma at least half way.
bool brightGround(const wxImage& picture, int width, int height, int margin, int place);
