#pragma once

// What one pass over a JPEG file learned from its EXIF data. The owner
// clears it before a pass.
struct ExifInfo {
    bool exifRead = false;  // result of the parser for the last Exif APP1 section
    int orientation = 0;    // 0 when unknown, otherwise 1..8
};
