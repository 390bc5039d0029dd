#include "platform/FileAccess.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

bool readAt(std::FILE* file, unsigned char* buffer, std::size_t size, long long offset)
{
    return pread(fileno(file), buffer, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

long long fileSize(std::FILE* file)
{
    struct stat status;
    return fstat(fileno(file), &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

bool canRead(const std::string& path, std::string& why)
{
    if (access(path.c_str(), R_OK) == 0)
        return true;
    why = std::strerror(errno);
    return false;
}

std::string canonicalPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}
