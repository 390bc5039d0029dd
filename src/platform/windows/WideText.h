#pragma once

#include <ctime>
#include <string>

#include <windows.h>

// The Windows side's own helpers: the program's UTF-8 paths as the system's
// UTF-16 names, and the system's errors as the C library's numbers, so that
// a failure reads as on Linux ("Permission denied"), and which reparse
// points are links.

// A UTF-8 path as a UTF-16 name, "/" as "\"; a long one, relative or on
// a share too, made full and given the "\\?\" or "\\?\UNC\" prefix that
// lifts the 260-character limit.
std::wstring wideName(const std::string& path);
// UTF-8 text as UTF-16, and back.
std::wstring wideText(const std::string& text);
std::string utf8Text(const std::wstring& text);
// The errno that matches a Windows error.
int errnoOf(DWORD error);
// A file time as a timespec since 1970, and back.
timespec timeOf(const FILETIME& time);
FILETIME fileTimeOf(const timespec& time);
// Whether the name is a symbolic link or junction (see reparseTagIsLink),
// not a cloud placeholder or other reparse point, which counts as what it
// seems. attributes: the name's own, as listed or asked for.
bool isLinkAt(const std::wstring& path, DWORD attributes);
// The same for an open handle of the name itself.
bool isLinkHandle(HANDLE handle, DWORD attributes);
// An open file's attributes, without the volume's serial number that
// GetFileInformationByHandle also asks for (under Wine, from another
// process).
bool attributesOf(HANDLE handle, DWORD& attributes);
// Whether the system deletes the file once its last handle closes: set on
// a temporary file from its start, so that a process that ends mid-write
// (a closed console, a log-off, a kill) leaves nothing behind; cleared just
// before the file is put in place. False where the file system cannot.
bool deleteOnClose(HANDLE file, bool remove);
