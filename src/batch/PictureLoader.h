#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include <wx/image.h>

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
// the shrink to the box would throw away: it decodes at 1/2, 1/4 or 1/8 of
// the size when that still leaves the picture at least twice its fitted
// size in the box. A cancel flag that becomes set cuts a JPEG decode short.
bool loadPicture(const std::string& path, int box, LoadedPicture& picture,
                 const std::atomic<bool>* cancel = nullptr);

// The largest of 1, 2, 4, 8 whose reduced size (rounded up, as the decoder
// does) is still at least twice targetWidth x targetHeight. Twice, because
// the final shrink must still average two or more source pixels each way:
// a reduction right down to the target size leaves a shrink by a factor
// near 1 that visibly differs from a full decode on fine textures.
int jpegScaleDenominator(int width, int height, long long targetWidth, long long targetHeight);

// A side decoded at 1/denominator of its size: rounded up, as libjpeg does.
long long reducedSide(long long size, int denominator);

// The denominator for a width x height JPEG decoded for the box: 1 when the
// box is empty or the picture fits it.
int boxScaleDenominator(int width, int height, int box);
