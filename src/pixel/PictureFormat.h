#pragma once

#include <cstdint>
#include <cstdio>

// The formats the batch decodes, told from the content, never the name.
// Everything else is refused: the toolkit's decoders for the rarer formats
// (IFF, PCX, TGA, ICO, PNM, XPM ...) are not safe against crafted files.
enum class PictureFormat { jpeg, png, tiff, other };

// Reads the head of the file and rewinds it.
PictureFormat pictureFormat(std::FILE* file);

// The width and height a PNG or TIFF file declares for its (first) picture,
// read before anything is decoded so that a size no picture has can be
// refused. False when the head does not hold them, and for a JPEG, whose
// head JpegHead reads. Leaves the file position anywhere.
bool declaredSize(std::FILE* file, PictureFormat format, std::uint32_t& width, std::uint32_t& height);
