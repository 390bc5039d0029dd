#pragma once

#include <string>
#include <vector>

// The nine places of a mark, 1..9 row by row from the top left, by name:
// top-left, top, top-right, left, centre, right, bottom-left, bottom,
// bottom-right.
const char* placeName(int place);

// A place from its number ("1".."9") or name ("center" and "middle" for
// the centre too); 0 for anything else.
int placeFromText(const std::string& text);

// The places of a comma-separated list of them, each once, in the order of
// the nine; false for an empty list or one with a name that is no place.
bool placesFromList(const std::string& list, std::vector<int>& places);
