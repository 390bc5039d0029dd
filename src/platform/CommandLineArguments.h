#pragma once

#include <string>
#include <vector>

// The program's arguments in UTF-8, as typed. Windows hands main() its
// arguments in the ANSI code page, where names beyond it are lost: there
// they come from the wide command line instead.
std::vector<std::string> commandLineArguments(int argc, char** argv);
