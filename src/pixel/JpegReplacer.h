#pragma once

#include <string>
#include <vector>

#include <wx/image.h>

#include "pixel/JpegEncoder.h"

// The picture encoded as JPEG at the quality, in memory, behind its JFIF
// header: the EXIF payload (APP1) and the ICC colour profile when given,
// and the processing record as a comment when given. Of the old file's
// metadata nothing else is ever kept. Empty when the picture cannot be
// encoded (an empty picture).
std::vector<unsigned char> jpegBytes(const wxImage& picture, long quality, const std::vector<unsigned char>& iccProfile,
                                     const std::vector<unsigned char>& exif = {}, const std::string& record = {},
                                     const JpegLayout& layout = {});

// Replaces the regular file at a UTF-8 path with the bytes through a
// ReplacingFile: on any failure, and for empty bytes, the old file stays
// byte for byte. The new file keeps the old one's permission bits, owner and
// modification time; a symbolic link stays a link and its target is
// rewritten. On failure, problem (when given) says why in a few words.
bool replaceFile(const std::string& path, const std::vector<unsigned char>& bytes, std::string* problem = nullptr);

