#pragma once

#include <string>

// Text that is not UTF-8 in the code page Windows tools write it in: the
// console's (for what a console's pipe brings, such as "dir /b | ...") or
// else the system's (Notepad's "ANSI"); as UTF-8. False where there is no
// such code page to read it in: on Linux a name is its bytes.
bool textFromLocalCodePage(const std::string& bytes, bool fromConsole, std::string& text);
