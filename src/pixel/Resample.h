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

// The code that filters across a row: plain C++, or SSE2 or AVX2 vector
// code where the processor has it. Every path gives the same bytes.
enum class ResamplePath { plain, sse2, avx2 };

// The best path this processor runs, which the filter takes.
ResamplePath fastestResamplePath();

// resampleLanczos3 on the path given, which the processor must run.
wxImage resampleLanczos3(const wxImage& picture, int width, int height, ResamplePath path);

// Where each output sample of a pass reads: the first of taps input
// samples, and their weights, taps per output sample, in fixed point.
struct LanczosTaps {
    int taps = 0;
    std::vector<int> first;
    std::vector<std::int32_t> weights;
};

// The same filter for a picture that arrives row by row, as a decoder
// hands it over: each row is filtered across as it comes, into a ring of
// the few narrow rows that an output row reads, and each output row down
// that ring once its last row is in. The picture is never held whole, nor
// turned on its side.
class LanczosShrink {
public:
    // An RGB picture of inWidth x inHeight to width x height, all positive.
    LanczosShrink(int inWidth, int inHeight, int width, int height,
                  ResamplePath path = fastestResamplePath());
    // Where the next row goes, top first: inWidth RGB samples; then
    // addRow() once it holds them.
    unsigned char* nextRow() { return input_.data(); }
    void addRow();
    // The result, once all inHeight rows are in.
    wxImage finish();

private:
    int width_, height_;
    ResamplePath path_;
    LanczosTaps across_, down_;
    int acrossCount_;  // the input samples each output sample reads across
    int downCount_;    // the input rows each output row reads
    std::size_t narrowBytes_;
    std::vector<unsigned char> input_;  // the row being handed over
    std::vector<unsigned char> ring_;   // the last downCount_ rows, filtered across
    // Across in vector code: the row's channels apart, and the weights in
    // 16 bits, padded with zeros to a multiple of 8 taps.
    int paddedTaps_ = 0;
    std::vector<std::int16_t> planes_;
    std::vector<std::int16_t> weights16_;
    std::vector<std::int32_t> sums_;
    std::vector<const unsigned char*> sources_;
    wxImage result_;
    int rowsIn_ = 0;
    int rowsOut_ = 0;
};
