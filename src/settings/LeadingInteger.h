#pragma once

#include <string>

// The number at the start of a text, converted as atoi converts (leading
// blanks, an optional sign, then decimal digits up to the first other
// character), 0 when there is none. Out of the int range it saturates
// instead of being undefined.
int leadingInteger(const std::string& text);
