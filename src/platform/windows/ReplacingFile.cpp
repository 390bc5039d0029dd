#include "platform/ReplacingFile.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include "platform/FileAccess.h"
#include "platform/FileCallFaults.h"
#include "platform/PathNames.h"
#include "platform/TemporaryName.h"
#include "platform/windows/WideText.h"

#include <aclapi.h>

namespace {

// The old file's rights (its access list, inherited or its own) and
// attributes given to the new one, as ReplaceFileW does itself; false when
// they cannot be.
bool takeOverRights(const std::wstring& from, const std::wstring& to, DWORD attributes)
{
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &access,
                              nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION what = DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED)
                                                                       ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                       : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD set = SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT, what, nullptr, nullptr,
                                            access, nullptr);
    LocalFree(descriptor);
    if (set != ERROR_SUCCESS) {
        SetLastError(set);
        return false;
    }
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                       FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return SetFileAttributesW(to.c_str(), (attributes & kept) ? attributes & kept : FILE_ATTRIBUTE_NORMAL);
}

// ReplaceFileW with a backup name: whatever fails, the original is kept
// under its own name or under the backup name, and never only under a name
// the system makes up. The error, or ERROR_SUCCESS.
DWORD replaceKeeping(const std::wstring& target, const std::wstring& temporary, const std::wstring& backup)
{
    if (const DWORD fault = fileCallFaults().replaceFile) {
        // The files as Windows leaves them for that error.
        if (fault == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileExW(target.c_str(), backup.c_str(), 0);
        return fault;
    }
    return ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr)
               ? ERROR_SUCCESS
               : GetLastError();
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
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
        const std::string temporary = joinPath(folder, temporaryName(baseName(target_)));
        const HANDLE file = CreateFileW(wideName(temporary).c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            error_ = errnoOf(GetLastError());
            return false;
        }
        // Where the file system cannot, discard() removes it as on Linux.
        deleting_ = deleteOnClose(file, true);
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
    ok = ok && FlushFileBuffers(handleOf(fd_)) && (!deleting_ || deleteOnClose(handleOf(fd_), false));
    if (!ok)
        error_ = errnoOf(GetLastError());
    ok = _close(fd_) == 0 && ok;
    fd_ = -1;
    // ReplaceFileW keeps the old file's attributes and rights. Where it
    // cannot work (some shares and file systems, or another program holds
    // the original) the move does, once the new file has them too and the
    // original is still in its place: it is refused rather than replaced
    // without them. A new file is moved into place, to disk before the call
    // returns.
    if (ok && existed) {
        const std::wstring backup =
            wideName(joinPath(folderOf(target_), temporaryName(baseName(target_), 255, "original")));
        const DWORD replaced = replaceKeeping(target, temporary, backup);
        if (replaced == ERROR_SUCCESS) {
            DeleteFileW(backup.c_str());
        } else if (replaced == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 &&
                   !MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            // The original is under the backup name and cannot go back: it
            // stays there, and so does the new picture, both kept.
            error_ = EBUSY;
            temporary_.clear();
            return false;
        } else {
            // 1175, 1176 and the rest: with a backup name both files keep
            // their names; after 1177 the original is back in its place.
            ok = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
                 takeOverRights(target, temporary, old.dwFileAttributes) &&
                 MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!ok && error_ == 0)
                error_ = errnoOf(replaced);
        }
    } else if (ok) {
        ok = MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    if (!ok) {
        if (error_ == 0)
            error_ = errnoOf(GetLastError());
        // The original is in its place: only the new file goes.
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
