#include "settings/EscapedValue.h"

#include <cstdio>

namespace {

constexpr const char* endWord = "EndConfigFile";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

}  // namespace

std::string escapeValue(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t\v\f");
    const std::size_t last = text.find_last_not_of(" \t\v\f");
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool outerBlank = isBlank(text[i]) && (first == std::string::npos || i < first || i > last);
        if (c == '%' || c == '#' || c < 0x20 || c == 0x7F || outerBlank || text.compare(i, 13, endWord) == 0) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            value += escaped;
        } else {
            value += text[i];
        }
    }
    return value;
}

std::string unescapeValue(const std::string& value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && hexDigit(value[i + 1]) >= 0 && hexDigit(value[i + 2]) >= 0) {
            text += static_cast<char>(hexDigit(value[i + 1]) * 16 + hexDigit(value[i + 2]));
            i += 2;
        } else {
            text += value[i];
        }
    }
    return text;
}
