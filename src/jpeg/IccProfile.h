#pragma once

#include <cstdio>
#include <vector>

// The ICC colour profile of a JPEG stream, from its APP2 "ICC_PROFILE"
// chunks as the bounded section reader reads the head (from the stream's
// current position). Empty when there is none, and when the chunks do not
// make one whole profile: numbers not 1..count in order, counts that
// disagree, or a profile whose own header gives another length.
std::vector<unsigned char> readIccProfile(std::FILE* stream);

// Puts the profile into an encoded JPEG as APP2 chunks right behind its
// start of image and JFIF header, where readers look for it. Nothing for an
// empty profile; false, with the JPEG unchanged, when it is not a JPEG or
// the profile needs more than the 255 chunks the format can number.
bool embedIccProfile(std::vector<unsigned char>& jpeg, const std::vector<unsigned char>& profile);
