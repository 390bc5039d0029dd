#include "platform/FileStamp.h"

#include <cstring>

#include <io.h>

#include "platform/windows/WideText.h"

namespace {

FILETIME fileTime(const LARGE_INTEGER& time)
{
    FILETIME converted;
    converted.dwLowDateTime = static_cast<DWORD>(time.QuadPart);
    converted.dwHighDateTime = static_cast<DWORD>(time.QuadPart >> 32);
    return converted;
}

// Which volume and which file on it. The file's identity comes first: the
// older call also asks for the volume's serial number, which under Wine is a
// round trip to another process for every picture, several times over.
bool identify(HANDLE file, FileStamp& stamp)
{
    FILE_ID_INFO id;
    if (GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof id)) {
        unsigned long long low = 0, high = 0;
        std::memcpy(&low, id.FileId.Identifier, sizeof low);
        std::memcpy(&high, id.FileId.Identifier + sizeof low, sizeof high);
        stamp.device = id.VolumeSerialNumber;
        // NTFS's identities fit in the low half; ReFS's may use both.
        stamp.inode = low ^ high;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return false;
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

FileStamp stampOf(HANDLE file)
{
    FileStamp stamp;
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    if (file == INVALID_HANDLE_VALUE || !identify(file, stamp) ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) ||
        !GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
        return FileStamp{};
    stamp.size = static_cast<long long>(standard.EndOfFile.QuadPart);
    stamp.modified = timeOf(fileTime(basic.LastWriteTime));
    stamp.changed = timeOf(fileTime(basic.ChangeTime));
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

FileStamp fileStamp(int fd)
{
    return stampOf(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
}
