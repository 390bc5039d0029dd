#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include <wx/image.h>

#include "pixel/FitInBox.h"

// A picture as loaded for the batch.
struct LoadedPicture {
    wxImage image;
    // The size stored in the file; the image itself may be smaller when it
    // was decoded at a reduced scale.
    int storedWidth = 0;
    int storedHeight = 0;
    // The JPEG's ICC colour profile, empty when it has none: it says what
    // the pixel values mean, so the rewrite keeps it.
    std::vector<unsigned char> iccProfile;
    // Why loading failed, in a few words for the user.
    std::string problem;
};

// No picture may cost more than this to decode: enough for a 150-megapixel
// photo, not for a small file that claims a frame of 28000 x 28000.
constexpr std::size_t pictureMemoryLimit = std::size_t(1) << 30;

// Loads the picture at a UTF-8 path: a regular file whose content is JPEG
// (libjpeg), PNG or TIFF, whatever its name says. False, with nothing
// loaded, for any other file or content, and for a picture that does not
// decode whole or would cost more than pictureMemoryLimit. When box is
// positive and a JPEG is larger than the box, the decoder skips detail that
// the shrink to the box would throw away: it decodes at the scale that
// jpegScaleNumerator picks for its fitted size, and the picture comes
// already fitted into the box (see DecodedRows). A cancel flag that becomes
// set cuts a JPEG decode short. PictureFile::load takes any target size.
bool loadPicture(const std::string& path, int box, LoadedPicture& picture,
                 const std::atomic<bool>* cancel = nullptr);

// The smallest of libjpeg's scales 1/8, 2/8, 4/8 and 8/8, as its numerator
// M over 8, whose size (rounded up, as the decoder rounds it) still covers
// twice targetWidth x targetHeight. The decoder's
// scaled transform then drops only detail that the target cannot hold, and
// the Lanczos filter that shrinks the rest by a factor of 2 to 4 is as
// sharp as one applied to the full decode. Powers of two only:
// libjpeg-turbo has vector code for those transforms, and its plain ones
// for 3/8, 5/8, 6/8 and 7/8 cost more than the fewer pixels save (measured
// on the benchmark's photos).
int jpegScaleNumerator(int width, int height, long long targetWidth, long long targetHeight);

// A side decoded at numerator/8 of its size: rounded up, as libjpeg does.
long long scaledSide(long long size, int numerator);

// The numerator for a width x height JPEG decoded to be shrunk to the
// target: 8 (full size) when the target is empty or no smaller. libjpeg
// and ProgressiveDecoder decode at the same scale, so that a progressive
// picture comes out as sharp as its baseline twin.
int targetScaleNumerator(int width, int height, const FittedSize& target);

// The same for the square box (see boxTarget).
int boxScaleNumerator(int width, int height, int box);

