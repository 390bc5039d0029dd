#pragma once

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "pixel/FitInBox.h"

struct JpegHead;
struct LoadedPicture;

// Decodes the JPEG stream of a file from its start into an RGB picture.
// When the target size is positive and smaller, it decodes at the reduced
// scale that targetScaleNumerator picks, and hands the rows to the Lanczos
// shrink as they come: the picture arrives at the target size. A
// progressive picture decoded reduced goes to ProgressiveDecoder, which
// keeps only the coefficients that scale shows; every other picture, and
// any that decoder declines, to libjpeg.
//
// head is what readJpegHead found in the file: a picture its frame calls
// progressive may go to ProgressiveDecoder, so that the others are not
// read twice.
//
// Colours: the ICC profile of the file's head. An RGB picture
// keeps it when it describes RGB. A CMYK or grey picture is converted
// through a profile of its own colour space into sRGB and keeps none; a
// CMYK picture without one is converted as the toolkit converts it.
//
// False for anything short of the whole picture: a libjpeg error, a warning
// that means missing or made-up pixels (data cut short or corrupt, data
// left over after a scan that is not padding, a file that ends before its
// last scan is complete), more than memoryLimit bytes for the decoder's
// buffers and the pixels together, or more scans than any encoder writes.
// libjpeg itself would fill the missing part grey and carry on. Also false
// when the cancel flag is set while it decodes.
bool decodeJpeg(std::FILE* file, const FittedSize& target, std::size_t memoryLimit, const JpegHead& head, LoadedPicture& picture,
                const std::atomic<bool>* cancel = nullptr);

// Real encoders write a dozen scans or so; thousands of tiny scans only make
// the decoder walk the whole picture again for each.
constexpr int maxJpegScans = 1000;
