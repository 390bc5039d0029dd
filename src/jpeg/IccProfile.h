#pragma once

#include <vector>

// Puts the profile into an encoded JPEG as APP2 chunks right behind its
// start of image and JFIF header, where readers look for it. Nothing for an
// empty profile; false, with the JPEG unchanged, when it is not a JPEG or
// the profile needs more than the 255 chunks the format can number.
bool embedIccProfile(std::vector<unsigned char>& jpeg, const std::vector<unsigned char>& profile);

// Appends the profile's APP2 chunks to segments; false, with nothing
// appended, when it needs more than 255 chunks.
bool appendIccSegments(std::vector<unsigned char>& segments, const std::vector<unsigned char>& profile);
