#include "platform/LocalText.h"

#include "platform/windows/WideText.h"

namespace {

// The system's code page for programs that are not Unicode: this one's
// manifest makes its own UTF-8.
UINT systemCodePage()
{
    DWORD page = 0;
    return GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                          reinterpret_cast<LPWSTR>(&page), sizeof page / sizeof(wchar_t)) != 0
               ? page
               : GetACP();
}

}  // namespace

bool textFromLocalCodePage(const std::string& bytes, bool fromConsole, std::string& text)
{
    const UINT console = fromConsole ? GetConsoleCP() : 0;
    const UINT page = console != 0 ? console : systemCodePage();
    if (bytes.empty() || page == CP_UTF8)
        return false;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
    text = utf8Text(wide);
    return true;
}
