#pragma once

#include <wx/image.h>

// Turns a picture upright by its EXIF orientation 1..8: quarter and half
// turns, and the mirrored forms 2, 4, 5 and 7. Returns true when the
// orientation calls for a change (every one but 0 and 1); an empty picture
// is left as it is.
bool orientUpright(wxImage& picture, int orientation);
