#pragma once

#include <string>

#include <sys/stat.h>

// What a file looked like: a picture prepared from it is written only while
// it still looks so, never over content it was not made from.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{};
    timespec changed{};
};
bool operator==(const FileStamp& a, const FileStamp& b);
// The stamp of the file at a UTF-8 path as it is now; size -1 when missing.
FileStamp fileStamp(const std::string& path);
// The stamp of an open file.
FileStamp fileStamp(int fd);
