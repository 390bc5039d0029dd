#pragma once

#include <cstdio>
#include <string>

// Whether a standard stream is a terminal (a console on Windows).
bool inputIsTerminal();
bool outputIsTerminal();
bool errorIsTerminal();

// Makes a Windows console take the escape sequences that redraw a line
// where it can, and gives standard output a buffer where it is no console,
// as the C library does elsewhere; nothing on other systems. Before
// anything is written.
void setUpStandardStreams();

// Writes UTF-8 text to stdout or stderr: to a Windows console with the
// console's own wide-character call, so that every letter shows whatever
// its code page; elsewhere the bytes as they are. False when it fails.
bool writeText(std::FILE* stream, const std::string& text);

// Whether standard error's terminal takes "ESC[K" (clear to the end of the
// line); a Windows console does only once its virtual-terminal mode took.
bool errorTakesEscapes();
