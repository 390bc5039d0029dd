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

bool writeText(std::FILE* stream, const std::string& text)
{
    return std::fputs(text.c_str(), stream) >= 0;
}

bool errorTakesEscapes()
{
    return true;
}
