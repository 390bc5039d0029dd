#include "platform/InstalledFont.h"

#include <cwctype>

#include "platform/windows/WideText.h"

namespace {

std::wstring lowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The family names of a font list entry: "Cambria & Cambria Math
// (TrueType)" names two, faces 0 and 1 of its file.
int faceOfFamily(std::wstring entry, const std::wstring& family)
{
    const std::size_t kind = entry.rfind(L" (");
    if (kind != std::wstring::npos)
        entry.erase(kind);
    entry = lowered(entry);
    int face = 0;
    for (std::size_t start = 0;; ++face) {
        const std::size_t end = entry.find(L" & ", start);
        const std::wstring name = entry.substr(start, end == std::wstring::npos ? end : end - start);
        if (name == family || name == family + L" regular")
            return face;
        if (end == std::wstring::npos)
            return -1;
        start = end + 3;
    }
}

// Looks the family up in one of the font lists (the machine's, the user's).
bool lookUp(HKEY root, const std::wstring& family, FontLocation& found)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    bool known = false;
    wchar_t name[512], file[1024];
    for (DWORD i = 0; !known; ++i) {
        DWORD nameLength = 512, fileBytes = sizeof file - sizeof(wchar_t), type = 0;
        const LONG read =
            RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(file), &fileBytes);
        // An entry too long for these names is no font of ours; the list
        // goes on after it.
        if (read == ERROR_MORE_DATA)
            continue;
        if (read != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        file[fileBytes / sizeof(wchar_t)] = L'\0';
        const int face = faceOfFamily(name, family);
        if (face < 0)
            continue;
        std::wstring path = file;
        // The machine's fonts are named relative to its font folder.
        if (path.find(L'\\') == std::wstring::npos) {
            wchar_t windows[MAX_PATH];
            const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
            path = std::wstring(windows, length) + L"\\Fonts\\" + path;
        }
        found = {utf8Text(path), face};
        known = true;
    }
    RegCloseKey(key);
    return known;
}

}  // namespace

bool findInstalledFont(const std::string& family, FontLocation& found)
{
    const std::wstring wanted = lowered(wideName(family));
    return !wanted.empty() && (lookUp(HKEY_CURRENT_USER, wanted, found) || lookUp(HKEY_LOCAL_MACHINE, wanted, found));
}
