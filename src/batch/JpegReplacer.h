#pragma once

#include <string>

#include <wx/image.h>

// Writes the picture as JPEG at the quality over the file at a UTF-8 path
// without ever leaving a damaged file behind: the new picture is encoded
// into a temporary file in the same folder, flushed to disk and renamed
// over the old one. On any failure the old file stays byte for byte and no
// temporary file remains. The new file keeps the old one's permission bits,
// owner and modification time; a symbolic link stays a link and its target
// is rewritten. Nothing of the old file's metadata is carried over.
bool replaceWithJpeg(wxImage& picture, const std::string& path, long quality);
