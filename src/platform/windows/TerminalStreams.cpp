#include "platform/TerminalStreams.h"

#include <cstdio>

#include <windows.h>

namespace {

// A console, as GetConsoleMode tells: _isatty says yes to every character
// device, NUL among them, where progress would be drawn for nobody.
bool isConsole(DWORD stream)
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

bool inputIsTerminal()
{
    return isConsole(STD_INPUT_HANDLE);
}

bool outputIsTerminal()
{
    return isConsole(STD_OUTPUT_HANDLE);
}

bool errorIsTerminal()
{
    return isConsole(STD_ERROR_HANDLE);
}

void setUpStandardStreams()
{
    SetConsoleOutputCP(CP_UTF8);
    // The C runtime gives no buffer to an output it takes for a console,
    // NUL among them, and writes there a character at a time, each asking
    // the system again whether it is one. Lines are flushed as they end.
    if (!outputIsTerminal())
        std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
}
