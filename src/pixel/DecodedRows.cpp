#include "pixel/DecodedRows.h"

#include <new>


bool DecodedRows::start(int storedWidth, int storedHeight, int width, int height)
{
    width_ = width;
    height_ = height;
    const FittedSize& fitted = target_;
    const bool larger = fitted.width < storedWidth || fitted.height < storedHeight;
    try {
        if (larger && fitted.positive() && (fitted.width != width || fitted.height != height)) {
            shrink_ = std::make_unique<LanczosShrink>(width, height, static_cast<int>(fitted.width),
                                                      static_cast<int>(fitted.height));
            return true;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    pixels_.reset(static_cast<unsigned char*>(std::malloc(std::size_t(width) * height * 3)));
    return pixels_ != nullptr;
}

void DecodedRows::done()
{
    if (shrink_)
        shrink_->addRow();
    ++rows_;
}

wxImage DecodedRows::take()
{
    if (shrink_)
        return shrink_->finish();
    return wxImage(width_, height_, pixels_.release());
}
