#pragma once

#include <cstdio>
#include <vector>

#include <jpeglib.h>
#include <wx/image.h>

#include "jpeg/ExifBuilder.h"

// How a test JPEG stores its pixels: YCbCr with chroma at half the
// resolution both ways (420), across only (422) or full, or full
// resolution in one sequential scan for each
// component; inverted CMYK as Adobe applications write it (the picture's
// red, green and blue taken as the inks' absence, black 200); or grey
// (the picture's green).
enum class StoredAs { ycc420, ycc422, ycc444, scanPerComponent, cmyk, grey, ycc440 };

// A JPEG of the picture made with libjpeg at quality 90: baseline or
// progressive, with an ICC profile written by libjpeg's own writer, and a
// restart marker every restartInterval MCUs (0: none).
Bytes encodeJpeg(const wxImage& image, bool progressive, StoredAs storedAs = StoredAs::ycc420,
                 const Bytes& iccProfile = {}, unsigned restartInterval = 0);

// A JPEG of the picture at the quality given, coded by the scan script
// (libjpeg's scan_info: the components, the coefficient band, and the
// successive approximation bits of each scan); libjpeg's own progression
// when the script is empty.
Bytes encodeScripted(const wxImage& image, int quality, StoredAs storedAs, const std::vector<jpeg_scan_info>& script,
                     unsigned restartInterval = 0);

// The samples libjpeg decodes from a JPEG at numerator/8 of its size, in
// the colour space asked for (a J_COLOR_SPACE), row after row. Chroma
// sampled at half resolution is smoothed up as libjpeg does by default, or
// with smoothChroma false, each sample repeated over the pixels it covers.
struct LibjpegSamples {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> samples;
};
LibjpegSamples libjpegDecode(const Bytes& jpeg, int numerator, int colourSpace, bool smoothChroma = true);

// Changes the frame size the start-of-frame header claims.
void claimFrameSize(Bytes& jpeg, int width, int height);

// A progressive grey JPEG of width x height, flat mid-grey, written by
// hand in two scans: a few bits a block, so that pictures far larger than
// any test could encode stay small and quick to make.
Bytes flatProgressiveGrey(int width, int height);

// Smooth shading with some texture, width x height.
wxImage shadedPicture(int width, int height);

// Whether plain libjpeg, decoding the whole picture, reports an error or a
// warning: the damage it detects itself.
bool libjpegComplains(const Bytes& jpeg);
