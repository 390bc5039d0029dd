#include "platform/FolderAccess.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool canCreateFilesIn(const std::string& folder, std::string& reason)
{
    struct stat status;
    if (stat(folder.c_str(), &status) == 0 && !S_ISDIR(status.st_mode))
        errno = ENOTDIR;
    else if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0)
        return true;
    reason = std::strerror(errno);
    return false;
}

bool noFolderAt(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? !S_ISDIR(status.st_mode) : errno == ENOENT || errno == ENOTDIR;
}

bool canCreateFolder(const std::string& folder, std::string& reason)
{
    std::string existing = folder;
    struct stat status;
    while (lstat(existing.c_str(), &status) != 0 && errno == ENOENT) {
        const std::size_t slash = existing.find_last_of('/', existing.size() > 1 ? existing.size() - 2 : 0);
        if (slash == std::string::npos)
            existing = ".";
        else
            existing = slash == 0 ? "/" : existing.substr(0, slash);
        if (existing == "." || existing == "/")
            break;
    }
    return canCreateFilesIn(existing, reason);
}
