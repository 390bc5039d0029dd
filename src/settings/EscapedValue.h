#pragma once

#include <string>

// A text value made safe for a prefs.cfg line, whose reader cuts a line at
// "#", strips the blanks around a value, joins lines and stops at the word
// that ends the file: "%" followed by two hex digits stands for that byte.
// Escaped are "%", "#", control characters, blanks at either end and the
// "E" that would spell the end word; everything else, UTF-8 included,
// stays readable.
std::string escapeValue(const std::string& text);

// The text again; a "%" not followed by two hex digits stands for itself.
std::string unescapeValue(const std::string& value);
