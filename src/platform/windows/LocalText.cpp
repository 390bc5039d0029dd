#include "platform/LocalText.h"

#include "platform/windows/WideText.h"

bool textFromLocalCodePage(const std::string& bytes, bool fromConsole, std::string& text)
{
    const UINT console = fromConsole ? GetConsoleCP() : 0;
    const UINT page = console != 0 ? console : GetACP();
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
