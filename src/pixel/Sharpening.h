#pragma once

#include <string>

#include <wx/image.h>

// Output sharpening, for the crispness a shrunk photo loses.
enum class Sharpening { off, low, standard, high };

// "off", "low", "standard", "high": the names prefs.cfg and tessaly-batch
// use. False for any other name.
bool sharpeningFromName(const std::string& name, Sharpening& level);
const char* sharpeningName(Sharpening level);

// A mild unsharp mask (a 3 x 3 binomial blur, a threshold of two levels
// that leaves noise alone) whose result is held within a few levels of
// each pixel's 3 x 3 neighbourhood, so that edges gain contrast without
// halos. Integer arithmetic: the same pixels on every system.
void sharpen(wxImage& picture, Sharpening level);
