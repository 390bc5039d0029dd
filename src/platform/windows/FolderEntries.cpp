#include "platform/FolderEntries.h"

#include "platform/ReparseTag.h"
#include "platform/windows/WideText.h"

namespace {

// What a name leads to, through links and junctions; false when nothing.
bool lookThrough(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info)
{
    const HANDLE file = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return ok;
}

}  // namespace

bool readFolder(const std::string& folder, FolderId& id, std::vector<FolderEntry>& entries)
{
    std::wstring prefix = wideName(folder);
    if (!prefix.empty() && prefix.back() != L'\\')
        prefix += L'\\';
    BY_HANDLE_FILE_INFORMATION self;
    if (!lookThrough(prefix, self) || !(self.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    id = {self.dwVolumeSerialNumber, (static_cast<unsigned long long>(self.nFileIndexHigh) << 32) | self.nFileIndexLow};
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileExW((prefix + L"*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                           nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        FolderEntry entry;
        entry.name = utf8Text(name);
        DWORD attributes = found.dwFileAttributes;
        // Links and junctions are looked through; a cloud placeholder is
        // taken as listed, without fetching its content.
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && reparseTagIsLink(found.dwReserved0)) {
            BY_HANDLE_FILE_INFORMATION target;
            if (!lookThrough(prefix + name, target))
                continue;
            attributes = target.dwFileAttributes;
        }
        entry.folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
        entry.regular = !entry.folder && !(attributes & FILE_ATTRIBUTE_DEVICE);
        entry.hidden = name[0] == L'.' || (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        entries.push_back(entry);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}
