#include "platform/SettingsFolder.h"

#include <cstdlib>
#include <cstring>

#include "platform/windows/WideText.h"

namespace {

// The folder of the running program, as the system names it.
std::wstring programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/"));
}

}  // namespace

std::string settingsFolder()
{
    const std::wstring program = programFolder();
    if (GetFileAttributesW((program + L"\\portable.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
        return utf8Text(program);
    const wchar_t* appData = _wgetenv(L"APPDATA");
    return appData && *appData ? utf8Text(std::wstring(appData) + L"\\Tessaly") : utf8Text(program);
}

std::string userSettingsFolder()
{
    return settingsFolder();
}

bool enterFolder(const std::string& folder, std::string& why)
{
    const std::wstring name = wideName(folder);
    if ((CreateDirectoryW(name.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) &&
        SetCurrentDirectoryW(name.c_str()))
        return true;
    why = std::strerror(errnoOf(GetLastError()));
    return false;
}
