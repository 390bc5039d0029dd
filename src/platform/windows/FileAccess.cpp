#include "platform/FileAccess.h"

#include <cstring>
#include <io.h>

#include "platform/windows/WideText.h"

bool readAt(std::FILE* stream, unsigned char* buffer, std::size_t size, long long offset)
{
    const HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A read at an offset moves a file's position on Windows: put it back,
    // the stream that owns the file reads on from there.
    LARGE_INTEGER position{}, zero{};
    if (!SetFilePointerEx(file, zero, &position, FILE_CURRENT))
        return false;
    bool ok = true;
    while (ok && size > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD wanted = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD got = 0;
        ok = ReadFile(file, buffer, wanted, &got, &at) && got > 0;
        buffer += got;
        size -= got;
        offset += got;
    }
    SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
    return ok;
}

long long fileSize(std::FILE* file)
{
    return _filelengthi64(_fileno(file));
}

bool canRead(const std::string& path, std::string& why)
{
    const HANDLE file = CreateFileW(wideName(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = std::strerror(errnoOf(GetLastError()));
        return false;
    }
    CloseHandle(file);
    return true;
}

std::string canonicalPath(const std::string& path)
{
    const HANDLE file = CreateFileW(wideName(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    }
    CloseHandle(file);
    if (length == 0 || length >= name.size())
        return std::string();
    name.resize(length);
    // "\\?\C:\..." as "C:/...", "\\?\UNC\server\share" as "//server/share".
    if (name.rfind(L"\\\\?\\UNC\\", 0) == 0)
        name = L"\\\\" + name.substr(8);
    else if (name.rfind(L"\\\\?\\", 0) == 0)
        name = name.substr(4);
    std::string out = utf8Text(name);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}
