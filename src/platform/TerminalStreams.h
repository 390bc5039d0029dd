#pragma once

// Whether a standard stream is a terminal (a console on Windows).
bool inputIsTerminal();
bool outputIsTerminal();
bool errorIsTerminal();

// Makes a Windows console show the program's UTF-8 text as such, and gives
// standard output a buffer there where it is no console, as the C library
// does elsewhere; nothing on other systems. Before anything is written.
void setUpStandardStreams();
