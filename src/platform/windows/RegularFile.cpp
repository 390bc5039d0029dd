#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include "platform/windows/WideText.h"

namespace {

// libjpeg reads 4 KiB at a time, each a system call with the C runtime's
// own small buffer, and a dear one under Wine. (glibc takes no size
// without a buffer of the caller's; its reads cost little.)
constexpr std::size_t readBuffer = std::size_t(128) << 10;

}  // namespace

bool isRegularFile(const std::string& path)
{
    const HANDLE file = CreateFileW(wideName(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD attributes = 0;
    const bool regular = GetFileType(file) == FILE_TYPE_DISK && attributesOf(file, attributes) &&
                         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(file);
    return regular;
}

std::FILE* openRegularFile(const std::string& path)
{
    const HANDLE file = CreateFileW(wideName(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // A folder cannot be opened so: that is no picture either.
        const DWORD error = GetLastError();
        errno = error == ERROR_ACCESS_DENIED && !isRegularFile(path) && GetFileAttributesW(wideName(path).c_str()) !=
                                                                            INVALID_FILE_ATTRIBUTES
                    ? EINVAL
                    : errnoOf(error);
        return nullptr;
    }
    // A device such as CON or a pipe carries no picture.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        errno = EINVAL;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd);
    else
        std::setvbuf(stream, nullptr, _IOFBF, readBuffer);
    return stream;
}
