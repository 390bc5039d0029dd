#include "platform/FileStamp.h"

#include <io.h>

#include "platform/windows/WideText.h"

namespace {

FileStamp stampOf(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO basic;
    if (file == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file, &info) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return FileStamp{};
    FILETIME changed;
    changed.dwLowDateTime = static_cast<DWORD>(basic.ChangeTime.QuadPart);
    changed.dwHighDateTime = static_cast<DWORD>(basic.ChangeTime.QuadPart >> 32);
    FileStamp stamp;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    stamp.size = static_cast<long long>((static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    stamp.modified = timeOf(info.ftLastWriteTime);
    stamp.changed = timeOf(changed);
    return stamp;
}

}  // namespace


FileStamp fileStamp(const std::string& path)
{
    const HANDLE file = CreateFileW(wideName(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const FileStamp stamp = stampOf(file);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return stamp;
}

FileStamp fileStamp(std::FILE* file)
{
    return stampOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
}
