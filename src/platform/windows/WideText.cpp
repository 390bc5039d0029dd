#include "platform/windows/WideText.h"

#include <cerrno>

#include "platform/ReparseTag.h"

std::wstring wideName(const std::string& path)
{
    if (path.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring name(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), name.data(), length);
    for (wchar_t& c : name)
        if (c == L'/')
            c = L'\\';
    const bool absolute = name.size() > 2 && name[1] == L':' && name[2] == L'\\';
    if (absolute && name.size() >= MAX_PATH - 12)
        name = L"\\\\?\\" + name;
    return name;
}

std::string utf8Text(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

namespace {

// 100-nanosecond steps from 1601 to 1970.
constexpr unsigned long long epochSteps = 116444736000000000ULL;

}  // namespace

timespec timeOf(const FILETIME& time)
{
    const unsigned long long steps =
        ((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) - epochSteps;
    timespec out{};
    out.tv_sec = static_cast<time_t>(steps / 10000000ULL);
    out.tv_nsec = static_cast<long>(steps % 10000000ULL * 100);
    return out;
}

FILETIME fileTimeOf(const timespec& time)
{
    const unsigned long long steps =
        static_cast<unsigned long long>(time.tv_sec) * 10000000ULL + static_cast<unsigned long long>(time.tv_nsec) / 100 +
        epochSteps;
    FILETIME out;
    out.dwLowDateTime = static_cast<DWORD>(steps);
    out.dwHighDateTime = static_cast<DWORD>(steps >> 32);
    return out;
}

bool isLinkAt(const std::wstring& path, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;  // unknown: never followed
    FindClose(search);
    return reparseTagIsLink(found.dwReserved0);
}

bool isLinkHandle(HANDLE handle, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    return !GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
           reparseTagIsLink(tag.ReparseTag);
}

bool attributesOf(HANDLE handle, DWORD& attributes)
{
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic))
        return false;
    attributes = basic.FileAttributes;
    return true;
}

bool deleteOnClose(HANDLE file, bool remove)
{
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(remove ? TRUE : FALSE)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}
