#pragma once

#include <cstdio>
#include <string>

// Opens a UTF-8 path for reading when it names a regular file or a link to
// one. The open itself never waits: a FIFO, device or socket that carries a
// picture's name is refused at once, where a plain fopen would hold the
// reader until some other program writes to it. Null when refused, with
// errno set: EINVAL when the path names no regular file.
std::FILE* openRegularFile(const std::string& path);

// Whether a UTF-8 path names a regular file or a link to one.
bool isRegularFile(const std::string& path);
