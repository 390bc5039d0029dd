#pragma once

#include <string>

// Names of files and folders as the program compares and shows them, the
// same on every system: on Windows "\" separates names as "/" does.

// The folder a path lies in: the system's root stays one ("/", "C:/"),
// never the empty name or "C:", which would be another folder.
std::string folderOf(const std::string& path);

// The path with every link and "." or ".." resolved, as canonicalPath; the
// path as given when it names nothing that is there.
std::string fullPath(const std::string& path);

// The same folder, whatever way the two names lead to it; false when
// either is not there.
bool sameFolder(const std::string& one, const std::string& other);

// A folder's own name, the last of its full path ("trip" for "./trip/").
std::string folderName(const std::string& folder);

// A path, or a text naming paths, as the system shows them: on Windows
// with "\" throughout, whatever separators the program joined it with.
std::string shownPath(std::string path);
