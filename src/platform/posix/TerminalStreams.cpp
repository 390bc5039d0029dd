#include "platform/TerminalStreams.h"

#include <unistd.h>

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

void setUpStandardStreams()
{
}
