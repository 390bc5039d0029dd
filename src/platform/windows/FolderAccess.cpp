#include "platform/FolderAccess.h"

#include <cerrno>
#include <cstring>

#include "platform/windows/WideText.h"

bool canCreateFilesIn(const std::string& folder, std::string& reason)
{
    const std::wstring name = wideName(folder);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    int error = 0;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = errnoOf(GetLastError());
    } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = ENOTDIR;
    } else {
        // Windows' rights are lists the program cannot easily read: a file
        // made there and gone again answers for them.
        const std::wstring probe = name + (name.back() == L'\\' ? L"" : L"\\") + L".tessaly-probe";
        const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        const DWORD why = GetLastError();
        if (why == ERROR_FILE_EXISTS)
            return true;
        error = errnoOf(why);
    }
    reason = std::strerror(error);
    return false;
}

bool noFolderAt(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(wideName(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
    }
    return !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool canCreateFolder(const std::string& folder, std::string& reason)
{
    std::string existing = folder;
    while (GetFileAttributesW(wideName(existing).c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::size_t slash = existing.find_last_of("/\\", existing.size() > 1 ? existing.size() - 2 : 0);
        if (slash == std::string::npos) {
            existing = ".";
            break;
        }
        existing = existing.substr(0, slash + (slash == 2 && existing[1] == ':' ? 1 : 0));
        if (existing.size() <= 3 && existing.find(':') == 1)
            break;
    }
    return canCreateFilesIn(existing, reason);
}
