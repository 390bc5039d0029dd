#pragma once

#include <cstddef>

// The inverse DCT of the lowest across x down coefficients of an 8 x 8
// block (each 1 to 8), row by row and dequantized, into across x down
// samples without the level shift: the mean of the block's pixels over
// cells of 8 / across by 8 / down pixels, as far as these coefficients
// give them. What the finer
// coefficients add is detail that the smaller picture cannot hold, so a
// reduced decode keeps only these.
void reducedIdct(const float* coefficients, int across, int down, float* samples, std::ptrdiff_t stride);
