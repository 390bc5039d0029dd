#pragma once

#include <string>

// UTF-8 as the program's texts hold it, to and from code points.

// One code point in UTF-8 (U+FFFD for a surrogate or one beyond U+10FFFF).
std::string utf8Of(char32_t code);
std::string utf8Of(const std::u32string& codes);

// The code points of a text. A byte that starts no well-formed UTF-8
// sequence is taken as Latin-1, as cameras and old programs write their
// EXIF texts, so nothing is lost and nothing reads past the text.
std::u32string codePoints(const std::string& text);

// UTF-16 bytes, little- or big-endian, as UTF-8; false for an odd number of
// bytes or a surrogate without its pair, which no UTF-16 text holds.
bool utf8FromUtf16(const std::string& bytes, bool bigEndian, std::string& text);

// The text with each byte that starts no well-formed UTF-8 sequence made
// U+FFFD: a name from an old camera card (Latin-1) stays visible, and
// every reader takes it.
std::string wellFormed(const std::string& text);
