#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

#include <wx/image.h>

#include "pixel/FitInBox.h"
#include "pixel/Resample.h"

// Where a decoder's RGB rows go, top to bottom: into a picture of the
// decoded size, or, when the picture is larger than the target size,
// through the Lanczos shrink to that size. Then the decoded picture
// is never held whole, only the shrink's few rows and the result: for a
// 4096 x 4096 photo decoded at half size into 800 x 800, 2 MB instead of 12.
class DecodedRows {
public:
    // target: the size the picture is shrunk to, {0, 0} for none.
    explicit DecodedRows(const FittedSize& target) : target_(target) {}

    // For a picture stored at storedWidth x storedHeight and decoded at
    // width x height. False when the memory for it cannot be had.
    bool start(int storedWidth, int storedHeight, int width, int height);
    // Where the next row goes; then done() once it holds the row.
    unsigned char* next() { return shrink_ ? shrink_->nextRow() : pixels_.get() + std::size_t(width_) * 3 * rows_; }
    void done();
    // The picture, once every row is in: at the target size or at the
    // decoded size.
    wxImage take();

private:
    struct Free {
        void operator()(unsigned char* pixels) const { std::free(pixels); }
    };

    FittedSize target_;
    int width_ = 0;
    int height_ = 0;
    int rows_ = 0;
    std::unique_ptr<LanczosShrink> shrink_;
    // malloc: wxImage takes ownership of the buffer and frees it with free().
    std::unique_ptr<unsigned char, Free> pixels_;
};
