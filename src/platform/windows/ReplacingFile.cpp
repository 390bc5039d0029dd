#include "platform/ReplacingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include "platform/FileAccess.h"
#include "platform/TemporaryName.h"
#include "platform/windows/WideText.h"

namespace {

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ReplacingFile::ReplacingFile(const std::string& path) : target_(path)
{
    // A link stays a link: what it leads to is replaced.
    const std::string resolved = canonicalPath(path);
    if (!resolved.empty())
        target_ = resolved;
}

ReplacingFile::~ReplacingFile()
{
    discard();
}

void ReplacingFile::discard()
{
    if (fd_ >= 0)
        _close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        DeleteFileW(wideName(temporary_).c_str());
    temporary_.clear();
}

bool ReplacingFile::open()
{
    // The replace would go past the file's own write protection (its
    // read-only attribute, or a right to read only): ask the file first.
    const std::wstring target = wideName(target_);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const HANDLE probe = (attributes & FILE_ATTRIBUTE_READONLY)
                                 ? INVALID_HANDLE_VALUE
                                 : CreateFileW(target.c_str(), GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            error_ = (attributes & FILE_ATTRIBUTE_READONLY) ? EACCES : errnoOf(GetLastError());
            return false;
        }
        CloseHandle(probe);
    }
    const std::string folder = folderOf(target_);
    for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
        const std::string temporary = folder + "/" + temporaryName(nameOf(target_));
        const HANDLE file = CreateFileW(wideName(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            error_ = errnoOf(GetLastError());
            return false;
        }
        fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
        if (fd_ < 0) {
            CloseHandle(file);
            DeleteFileW(wideName(temporary).c_str());
            error_ = EMFILE;
            return false;
        }
        temporary_ = temporary;
    }
    failed_ = fd_ < 0;
    return fd_ >= 0;
}

bool ReplacingFile::write(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (fd_ >= 0 && !failed_ && size > 0) {
        DWORD written = 0;
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        if (!WriteFile(handleOf(fd_), bytes, chunk, &written, nullptr) || written == 0) {
            failed_ = true;
            error_ = written == 0 && GetLastError() == ERROR_SUCCESS ? ENOSPC : errnoOf(GetLastError());
        } else {
            bytes += written;
            size -= written;
        }
    }
    return fd_ >= 0 && !failed_;
}

bool ReplacingFile::commit(bool keepTimes)
{
    if (fd_ < 0 || failed_) {
        discard();
        return false;
    }
    const std::wstring target = wideName(target_), temporary = wideName(temporary_);
    WIN32_FILE_ATTRIBUTE_DATA old;
    const bool existed = GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &old);
    bool ok = true;
    if (existed && keepTimes)
        ok = SetFileTime(handleOf(fd_), &old.ftCreationTime, &old.ftLastAccessTime, &old.ftLastWriteTime);
    ok = ok && FlushFileBuffers(handleOf(fd_));
    if (!ok)
        error_ = errnoOf(GetLastError());
    ok = _close(fd_) == 0 && ok;
    fd_ = -1;
    // ReplaceFileW keeps the old file's attributes and rights; a new file
    // is moved into place, to disk before the call returns.
    if (ok && existed)
        ok = ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                          nullptr) ||
             MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    else if (ok)
        ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        if (error_ == 0)
            error_ = errnoOf(GetLastError());
        discard();
        return false;
    }
    if (existed && keepTimes) {
        const HANDLE file = CreateFileW(target.c_str(), FILE_WRITE_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            SetFileTime(file, nullptr, nullptr, &old.ftLastWriteTime);
            CloseHandle(file);
        }
    }
    temporary_.clear();
    return true;
}
