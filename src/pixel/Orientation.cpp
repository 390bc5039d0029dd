#include "pixel/Orientation.h"

bool orientUpright(wxImage& picture, int orientation)
{
    if (!picture.IsOk())
        return orientation >= 2 && orientation <= 8;
    switch (orientation) {
    case 2:  // mirrored left-right
        picture = picture.Mirror(true);
        return true;
    case 3:
        picture = picture.Rotate180();
        return true;
    case 4:  // mirrored top-bottom
        picture = picture.Mirror(false);
        return true;
    case 5:  // transposed
        picture = picture.Rotate90(true).Mirror(true);
        return true;
    case 6:
        picture = picture.Rotate90(true);
        return true;
    case 7:  // transversed
        picture = picture.Rotate90(false).Mirror(true);
        return true;
    case 8:
        picture = picture.Rotate90(false);
        return true;
    default:
        return false;
    }
}
