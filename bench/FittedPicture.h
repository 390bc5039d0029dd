#pragma once

#include <wx/image.h>

#include "pixel/PictureLoader.h"

// A loaded picture fitted into a box x box square as the batch fits it: by
// Lanczos-3 from whatever scale it was decoded at.
wxImage fittedInto(const LoadedPicture& picture, int box);

// How close two pictures of one size are, in dB; 99 for equal ones.
double psnr(const wxImage& a, const wxImage& b);
