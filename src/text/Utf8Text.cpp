#include "text/Utf8Text.h"

namespace {

// The length of the well-formed sequence at i, or 0.
std::size_t sequenceAt(const std::string& text, std::size_t i, char32_t& code)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no text.
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::string utf8Of(char32_t code)
{
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        code = 0xFFFD;
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

std::string utf8Of(const std::u32string& codes)
{
    std::string out;
    for (char32_t code : codes)
        out += utf8Of(code);
    return out;
}

bool utf8FromUtf16(const std::string& bytes, bool bigEndian, std::string& text)
{
    if (bytes.size() % 2 != 0)
        return false;
    const auto unit = [&](std::size_t at) {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
    };
    text.clear();
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t code = unit(i);
        if (code >= 0xDC00 && code <= 0xDFFF)
            return false;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const char32_t low = i + 2 < bytes.size() ? unit(i + 2) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        text += utf8Of(code);
    }
    return true;
}

std::string wellFormed(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceAt(text, i, code);
        out += length ? text.substr(i, length) : utf8Of(0xFFFD);
        i += length ? length : 1;
    }
    return out;
}

std::u32string codePoints(const std::string& text)
{
    std::u32string codes;
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t length = sequenceAt(text, i, code);
        codes += length ? code : static_cast<unsigned char>(text[i]);
        i += length ? length : 1;
    }
    return codes;
}
