#pragma once

#include <wx/image.h>

#include "jpeg/ExifBuilder.h"

// A JPEG of the picture made with libjpeg at quality 90: baseline or
// progressive; with cmyk, stored as inverted CMYK as Adobe applications
// write it (the picture's red, green and blue taken as the inks' absence);
// with an ICC profile written by libjpeg's own writer.
Bytes encodeJpeg(const wxImage& image, bool progressive, bool cmyk = false, const Bytes& iccProfile = {});

// Changes the frame size the start-of-frame header claims.
void claimFrameSize(Bytes& jpeg, int width, int height);

// Smooth shading with some texture, width x height.
wxImage shadedPicture(int width, int height);
