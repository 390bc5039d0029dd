#include "diag/TraceLog.h"

#include <charconv>
#include <cstdarg>

TraceLog::TraceLog(const std::string& path, bool enabled) : enabled_(enabled)
{
    if (enabled_)
        open(path);
}

TraceLog::~TraceLog()
{
    if (file_)
        std::fclose(file_);
}

void TraceLog::open(const std::string& path)
{
    // "w": every log starts afresh, it never appends to an earlier run.
    file_ = std::fopen(path.c_str(), "w");
}

void TraceLog::writeLine(const char* format, ...)
{
    // An enabled log whose file failed to open stays silent.
    if (!enabled_ || !file_)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(file_, format, args);
    va_end(args);
    std::fflush(file_);
}

void TraceLog::write(const char* label, const char* text)
{
    writeLine("%s: %s \n", label, text);
}

void TraceLog::write(const char* text)
{
    writeLine("%s \n", text);
}

void TraceLog::write(const std::string& label, int value)
{
    writeLine("%s: %d\n", label.c_str(), value);
}

void TraceLog::write(const std::string& text)
{
    writeLine("%s \n", text.c_str());
}

void TraceLog::write(float value)
{
    // As "%.4g" formats in the C locale: the log reads the same under every locale.
    char number[64];
    const auto end = std::to_chars(number, number + sizeof number - 1, static_cast<double>(value),
                                   std::chars_format::general, 4);
    *end.ptr = '\0';
    writeLine("%s \n", number);
}

void TraceLog::write(int value)
{
    writeLine("%s \n", std::to_string(value).c_str());
}
