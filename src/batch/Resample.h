#pragma once

#include <wx/image.h>

// The RGB picture resampled to exactly width x height (both positive) with
// a Lanczos-3 filter, as sharp as photographers expect of a reduction and
// without the blur of a box filter. Separable, in fixed point: the weights
// of every output column and row are worked out once and sum to exactly
// one, so a flat picture stays flat; each pass rounds and clips to 0..255.
// The picture's alpha, which a JPEG cannot keep, is not carried over.
wxImage resampleLanczos3(const wxImage& picture, int width, int height);
