#pragma once

#include <string>

// ".NAME.tessaly-unfinished-XXXXXX" with six random letters: a temporary
// file's name beside NAME. NAME is cut short (at a UTF-8 character
// boundary) as far as a name limit of limit bytes needs, so that a file
// whose name is near the limit can still be replaced. what replaces
// "unfinished" for a file that is no such leftover: "original", the name
// an original is kept under while it is replaced, never to be deleted.
std::string temporaryName(const std::string& name, std::size_t limit = 255, const char* what = "unfinished");
