#include "platform/TerminalStreams.h"

#include <cstdio>

#include <windows.h>

#include "platform/windows/WideText.h"

namespace {

bool escapesTaken = false;

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
    // The progress line is redrawn with "ESC[K" where the console takes it,
    // as it says once asked; older consoles show the escape as it is.
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(error, &mode) && SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        escapesTaken = GetConsoleMode(error, &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    // The C runtime gives no buffer to an output it takes for a console,
    // NUL among them, and writes there a character at a time, each asking
    // the system again whether it is one. Lines are flushed as they end.
    if (!outputIsTerminal())
        std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
}

bool writeText(std::FILE* stream, const std::string& text)
{
    const HANDLE console = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(console, &mode))
        return std::fputs(text.c_str(), stream) >= 0;
    // What the stream holds goes first, in its order.
    std::fflush(stream);
    const std::wstring wide = wideText(text);
    DWORD written = 0;
    return wide.empty() || WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

bool errorTakesEscapes()
{
    return escapesTaken || !errorIsTerminal();
}
