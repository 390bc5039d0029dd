#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The few direct file reads and names the program needs beyond streams,
// in one place for each system.

// Reads size bytes at offset of an open file, without moving its stream;
// false unless all of them were read.
bool readAt(std::FILE* file, unsigned char* buffer, std::size_t size, long long offset);

// The size of an open file; -1 when it cannot be told.
long long fileSize(std::FILE* file);

// Whether the file at the path can be opened for reading; when not, why
// says so in the system's words.
bool canRead(const std::string& path, std::string& why);

// The path with every link and "." or ".." resolved; empty when it names
// nothing that is there.
std::string canonicalPath(const std::string& path);
