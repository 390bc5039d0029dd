#pragma once

#include <cstdio>
#include <ctime>
#include <string>

// What a file looked like: a picture prepared from it is written only while
// it still looks so, never over content it was not made from.
struct FileStamp {
    unsigned long long device = 0;  // the file system
    unsigned long long inode = 0;   // the file on it
    long long size = -1;
    timespec modified{};
    timespec changed{};             // the last change of content or metadata
};

inline bool operator==(const FileStamp& a, const FileStamp& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec &&
           a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec;
}

// The stamp of the file at a UTF-8 path as it is now; size -1 when missing.
FileStamp fileStamp(const std::string& path);
// The stamp of an open file.
FileStamp fileStamp(std::FILE* file);
