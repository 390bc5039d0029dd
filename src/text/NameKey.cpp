#include "text/NameKey.h"

#include <cctype>
#include <cstdlib>

#include <utf8proc.h>

namespace {

std::string composed(const std::string& text)
{
    utf8proc_uint8_t* out = utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(text.c_str()));
    if (!out)
        return {};
    std::string result(reinterpret_cast<char*>(out));
    std::free(out);
    return result;
}

}  // namespace

std::string nameKey(const std::string& name)
{
    const std::string nfc = name.find('\0') == std::string::npos ? composed(name) : std::string();
    if (nfc.empty() && !name.empty()) {
        std::string bytes = name;
        for (char& c : bytes)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return bytes;
    }
    // Simple case folding, one code point for one: the lower case of the
    // upper case merges every pair that a file system's upper-case table
    // does ("ſ", "s" and "S"; "ς", "σ" and "Σ"), and no letter becomes two.
    std::string folded;
    const auto* text = reinterpret_cast<const utf8proc_uint8_t*>(nfc.data());
    utf8proc_ssize_t at = 0;
    const utf8proc_ssize_t size = static_cast<utf8proc_ssize_t>(nfc.size());
    while (at < size) {
        utf8proc_int32_t code = 0;
        const utf8proc_ssize_t length = utf8proc_iterate(text + at, size - at, &code);
        if (length <= 0)
            break;
        at += length;
        utf8proc_uint8_t bytes[4];
        const utf8proc_ssize_t written = utf8proc_encode_char(utf8proc_tolower(utf8proc_toupper(code)), bytes);
        folded.append(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(written));
    }
    // Folding may leave a letter and its mark apart again.
    return composed(folded);
}
