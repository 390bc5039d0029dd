#pragma once

// Size of a width x height picture shrunk to fit a boxWidth x boxHeight box
// with its proportions kept. The side that overflows the box more (the
// dominant one) takes the box's size exactly; the other side is scaled and
// truncated toward zero. Exact 64-bit integer arithmetic: a floating-point
// scale factor can land one pixel short of the box.
struct FittedSize {
    long long width;
    long long height;
    // A box of zero or negative size gives a size that is not positive.
    bool positive() const { return width > 0 && height > 0; }
};

FittedSize fitInBox(long long width, long long height, long long boxWidth, long long boxHeight);

// The size a width x height picture is shrunk to for a square box: {0, 0}
// (no shrink) when the box is empty or the picture fits it.
FittedSize boxTarget(long long width, long long height, long long box);
