#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <wx/image.h>

// The RGB picture resampled to exactly width x height (both positive) with
// a Lanczos-3 filter, as sharp as photographers expect of a reduction and
// without the blur of a box filter. Separable, in fixed point: the weights
// of every output column and row are worked out once and sum to exactly
// one, so a flat picture stays flat; each pass rounds and clips to 0..255.
// The picture's alpha, which a JPEG cannot keep, is not carried over.
wxImage resampleLanczos3(const wxImage& picture, int width, int height);

// Where each output sample of a pass reads: the first of taps input
// samples, and their weights, taps per output sample, in fixed point.
struct LanczosTaps {
    int taps = 0;
    std::vector<int> first;
    std::vector<std::int32_t> weights;
};

// The same filter for a picture that arrives row by row, as a decoder
// hands it over: the picture is never held whole, only the few rows the
// filter reads at once and the picture reduced in height.
class LanczosShrink {
public:
    // An RGB picture of inWidth x inHeight to width x height, all positive.
    LanczosShrink(int inWidth, int inHeight, int width, int height);
    // Where the next row goes, top first: inWidth RGB samples; then
    // addRow() once it holds them.
    unsigned char* nextRow() { return &window_[rowBytes_ * std::size_t(rowsIn_ % count_)]; }
    void addRow();
    // The result, once all inHeight rows are in.
    wxImage finish();

private:
    int inWidth_, width_, height_;
    LanczosTaps down_;
    int count_;  // the input rows each output row reads
    std::size_t rowBytes_;
    std::vector<unsigned char> window_;  // the last count_ input rows
    std::vector<std::int32_t> sums_;
    std::vector<const unsigned char*> sources_;
    std::unique_ptr<unsigned char[]> shallow_;  // inWidth x height
    int rowsIn_ = 0;
    int rowsOut_ = 0;
};
