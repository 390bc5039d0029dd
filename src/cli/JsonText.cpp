#include "cli/JsonText.h"

#include <cstdio>

std::string jsonText(const std::string& text)
{
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string jsonFlag(bool value)
{
    return value ? "true" : "false";
}
