#pragma once

#include <string>

// Whether the system has a program to open files with this extension
// (".pdf") by default. Linux' opener, xdg-open, says so only when it is
// run: true there.
bool hasDefaultProgramFor(const std::string& extension);
