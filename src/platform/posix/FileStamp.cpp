#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace {

FileStamp stampOf(const struct stat& info)
{
    return {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino),
            static_cast<long long>(info.st_size), info.st_mtim, info.st_ctim};
}

}  // namespace

FileStamp fileStamp(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? stampOf(info) : FileStamp{};
}

FileStamp fileStamp(std::FILE* file)
{
    struct stat info;
    return fstat(fileno(file), &info) == 0 ? stampOf(info) : FileStamp{};
}
