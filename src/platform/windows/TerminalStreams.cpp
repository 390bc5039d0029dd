#include "platform/TerminalStreams.h"

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

void useUtf8Console()
{
    SetConsoleOutputCP(CP_UTF8);
}
