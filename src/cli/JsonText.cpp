#include "cli/JsonText.h"

#include <cstdio>

#include "text/Utf8Text.h"

namespace {

std::string base64(const std::string& bytes)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        out += letters[(group >> 18) & 63];
        out += letters[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? letters[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? letters[group & 63] : '=';
    }
    return out;
}

}  // namespace

std::string jsonPath(const std::string& key, const std::string& path)
{
    return "\"" + key + "\": " + jsonText(path) +
           (wellFormed(path) == path ? std::string() : ", \"" + key + "Bytes\": \"" + base64(path) + "\"");
}

std::string jsonText(const std::string& text)
{
    std::string json = "\"";
    for (const char c : wellFormed(text)) {
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
