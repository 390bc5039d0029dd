#include "platform/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::FILE* openRegularFile(const std::string& path)
{
    struct stat info;
    // Looked at before the open, so that no device is ever opened.
    if (stat(path.c_str(), &info) != 0)
        return nullptr;
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    // And again after it: the name may have been swapped in between.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
}
