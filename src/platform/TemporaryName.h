#pragma once

#include <string>

// ".NAME.tessaly-unfinished-XXXXXX" with six random letters: a temporary
// file's name beside NAME. NAME is cut short (at a UTF-8 character
// boundary) as far as a name limit of limit bytes needs, so that a file
// whose name is near the limit can still be replaced.
std::string temporaryName(const std::string& name, std::size_t limit = 255);
