#include "cli/TerminalStreams.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

bool inputIsTerminal()
{
    return isatty(0);
}

bool outputIsTerminal()
{
    return isatty(1);
}

bool errorIsTerminal()
{
    return isatty(2);
}

void useUtf8Console()
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
}
