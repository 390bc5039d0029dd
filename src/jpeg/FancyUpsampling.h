#pragma once

// One output row of a chroma component stored at half the picture's
// resolution across (across 2), down (down 2) or both, by libjpeg's
// "fancy" upsampling: each sample three quarters of the nearer stored
// sample and a quarter of the further, in each direction it is stretched,
// with libjpeg's integers and rounding, the picture's edges repeated. A
// progressive picture decoded at full size then has libjpeg's pixels.
//
// Samples are without their level shift, as the transform gives them
// (rounded here: a flat block's come unrounded). near is the stored row nearest the output row and far the next
// nearest, above or below it (ignored when down is 1); count is the stored
// row's length, more than 2 when across is 2. out takes count * across
// samples; work holds count + 2.
void fancyUpsampleRow(const float* near, const float* far, bool farBelow, int count, int across, int down,
                      float* out, int* work);
