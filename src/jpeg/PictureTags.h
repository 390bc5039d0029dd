#pragma once

#include <string>
#include <vector>

struct JpegHead;

// What a picture says about itself, for texts made from it: EXIF's words,
// or XMP's where EXIF has none. Texts in UTF-8, trimmed; empty when absent.
struct PictureTags {
    std::string dateTaken;  // "YYYY:MM:DD HH:MM:SS"
    std::string make, model, lens;
    std::string artist, copyright;
};

// The tags of an Exif APP1 payload ("Exif\0\0" and its TIFF data): IFD0's
// Make, Model, Artist and Copyright, the Exif directory's DateTimeOriginal
// and LensModel. Bounded by the payload; a broken block gives what was read.
PictureTags exifTags(const std::vector<unsigned char>& exif);

// The head's EXIF tags, completed from its XMP packet (date taken,
// dc:creator, dc:rights, the lens).
PictureTags pictureTags(const JpegHead& head);
