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

    // What a decoder keeps to assemble the scans of the whole picture: 64
    // coefficients of 2 bytes for every block of every component.
    std::uint64_t coefficientBytes() const;
};
