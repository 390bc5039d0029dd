#pragma once

#include <string>
#include <vector>

#include "settings/BatchSettings.h"

// Puts each field whose value no control or option could have given (a
// quality of 250, an unknown sharpening, a template that does not parse)
// back to its default, and tells which: "Quality = 250", say.
std::vector<std::string> keepInRange(BatchSettings& settings);
