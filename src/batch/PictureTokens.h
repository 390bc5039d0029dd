#pragma once

#include <string>
#include <vector>

#include "jpeg/PictureTags.h"
#include "text/TokenText.h"

// The tokens a text may take from its picture: {name} (the file's name
// without extension), {date} (YYYY-MM-DD), {year}, {time} (HH:MM:SS),
// {camera}, {lens}, {artist} and {copyright}.
const std::vector<std::string>& pictureTokenNames();

// The token's value for the picture file at path with these tags; empty
// where the picture has none.
std::string pictureTokenValue(const Token& token, const PictureTags& tags, const std::string& path);
