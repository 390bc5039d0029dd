#pragma once

#include <string>

// What a name comes to where letter case and Unicode's spellings of one
// letter do not tell files apart (NTFS, exFAT, vfat, and macOS shares): the
// name in NFC with every letter case-folded, so that "Émile.jpg",
// "émile.jpg" and "e" followed by a combining acute give one key. Results
// are copied between systems, so names are told apart so on every system.
// A name that is not UTF-8 is folded byte by byte, ASCII letters only.
std::string nameKey(const std::string& name);
