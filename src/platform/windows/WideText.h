#pragma once

#include <ctime>
#include <string>

#include <windows.h>

// The Windows side's own helpers: the program's UTF-8 paths as the system's
// UTF-16 names, and the system's errors as the C library's numbers, so that
// a failure reads as on Linux ("Permission denied").

// A UTF-8 path as a UTF-16 name, "/" as "\"; a long absolute one with the
// "\\?\" prefix that lifts the 260-character limit.
std::wstring wideName(const std::string& path);
std::string utf8Text(const std::wstring& text);
// The errno that matches a Windows error.
int errnoOf(DWORD error);
// A file time as a timespec since 1970, and back.
timespec timeOf(const FILETIME& time);
FILETIME fileTimeOf(const timespec& time);
