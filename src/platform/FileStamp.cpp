#include "platform/FileStamp.h"

namespace {

FileStamp stampOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

}  // namespace

bool operator==(const FileStamp& a, const FileStamp& b)
{
    return a.device == b.device && a.inode == b.inode && a.size == b.size &&
           a.modified.tv_sec == b.modified.tv_sec && a.modified.tv_nsec == b.modified.tv_nsec &&
           a.changed.tv_sec == b.changed.tv_sec && a.changed.tv_nsec == b.changed.tv_nsec;
}

FileStamp fileStamp(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? stampOf(info) : FileStamp{};
}

FileStamp fileStamp(int fd)
{
    struct stat info;
    return fstat(fd, &info) == 0 ? stampOf(info) : FileStamp{};
}
