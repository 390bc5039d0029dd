#include "platform/windows/WideText.h"

#include <cerrno>

#include "platform/ReparseTag.h"

std::wstring wideText(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::wstring wideName(const std::string& path)
{
    std::wstring name = wideText(path);
    if (name.empty())
        return name;
    for (wchar_t& c : name)
        if (c == L'/')
            c = L'\\';
    if (name.size() < MAX_PATH - 12 || name.rfind(L"\\\\?\\", 0) == 0)
        return name;
    // Past the old limit only "\\?\" names work, and they take no "." or
    // "..", nor a relative path: the full path first, made by the system.
    const DWORD needed = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD made = needed == 0 ? 0 : GetFullPathNameW(name.c_str(), needed, full.data(), nullptr);
    if (made == 0 || made >= full.size())
        return name;
    full.resize(made);
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() > 2 && full[1] == L':')
        return L"\\\\?\\" + full;
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
