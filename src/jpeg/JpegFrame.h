#pragma once

#include <cstdint>

// The frame a JPEG's start-of-frame header declares: size, coding and each
// component's sampling factors.
struct JpegFrame {
    static constexpr int maxComponents = 4;

    int width = 0;
    int height = 0;
    bool progressive = false;
    int components = 0;
    int horizontal[maxComponents] = {};
    int vertical[maxComponents] = {};

    // What a decoder keeps to assemble the scans of a progressive picture
    // decoded at numerator/8: of every block of every component, the
    // coefficients that scale shows (a byte each, two for the DC) and 8
    // bytes that mark the others, or all 64 in 2 bytes each where the scale
    // is one libjpeg decodes.
    std::uint64_t coefficientBytes(int numerator) const;
};
