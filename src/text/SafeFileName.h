#pragma once

#include <string>

// File names made from the user's templates and the pictures' own data are
// safe on Linux and on Windows alike, whatever those hold.

// The most bytes of UTF-8 a file or folder name takes: ext4's 255 bytes,
// which never exceed NTFS's 255 UTF-16 units.
constexpr std::size_t mostNameBytes = 255;

// A token's value fit to stand in a name: never a folder of its own ("/"
// and "\" become "_"), ":" of a date or time becomes "-", the other
// characters Windows forbids (* ? " < > |) and control characters become
// "_"; bytes that are no UTF-8 are read as Latin-1.
std::string nameValue(const std::string& value);

// One folder or file name: the characters Windows forbids replaced as in a
// value, trailing dots and spaces dropped, a name Windows reserves (CON,
// PRN, AUX, NUL, COM1-9, LPT1-9, with any extension) given a "_", an empty
// one made "_", and shortened by whole characters so that it and tail
// (" (2).jpg", say) fit into mostNameBytes. Then tail follows.
std::string safeName(const std::string& name, const std::string& tail);
