#pragma once

#include <string>

// Formats like printf's "%f" or "%.3f" (digits after the point), with "."
// as the decimal point under any locale.
std::string formatFixed(double value, int digits);
