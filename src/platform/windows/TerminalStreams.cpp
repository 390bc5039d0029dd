#include "platform/TerminalStreams.h"

#include <io.h>
#include <windows.h>

bool inputIsTerminal()
{
    return _isatty(0);
}

bool outputIsTerminal()
{
    return _isatty(1);
}

bool errorIsTerminal()
{
    return _isatty(2);
}

void useUtf8Console()
{
    SetConsoleOutputCP(CP_UTF8);
}
