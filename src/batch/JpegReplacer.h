#pragma once

#include <string>
#include <vector>

#include <wx/image.h>

// Writes the picture as JPEG at the quality over the existing file at a
// UTF-8 path, through a ReplacingFile: on any failure the old file stays
// byte for byte. The new file keeps the old one's permission bits, owner and
// modification time; a symbolic link stays a link and its target is
// rewritten. Of the old file's metadata only the ICC colour profile is kept,
// when given; EXIF data, comments and the rest are not.
bool replaceWithJpeg(wxImage& picture, const std::string& path, long quality,
                     const std::vector<unsigned char>& iccProfile = {});
