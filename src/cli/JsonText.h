#pragma once

#include <string>

// The text as a JSON string, quotes included: quotes, backslashes and
// control characters escaped, everything else (UTF-8) as it is.
std::string jsonText(const std::string& text);

std::string jsonFlag(bool value);
