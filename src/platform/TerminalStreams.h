#pragma once

// Whether a standard stream is a terminal (a console on Windows).
bool inputIsTerminal();
bool outputIsTerminal();
bool errorIsTerminal();

// Makes a Windows console show the program's UTF-8 text as such; nothing
// on other systems.
void useUtf8Console();
