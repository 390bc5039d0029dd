#include "batch/NameTemplate.h"

#include <cstdlib>

#include "batch/PictureTokens.h"
#include "platform/PathNames.h"
#include "text/SafeFileName.h"
#include "text/Translated.h"

namespace {

const std::vector<std::string>& nameTokenNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all = pictureTokenNames();
        all.insert(all.end(), {"counter", "folder", "width", "height"});
        return all;
    }();
    return names;
}

// {counter:digits,start}: a number of 1 to 9 digits, a start of at most 9
// digits; both may be left out.
bool counterArgument(const std::string& argument, int& digits, long long& start)
{
    digits = 1;
    start = 1;
    if (argument.empty())
        return true;
    const std::size_t comma = argument.find(',');
    const std::string width = argument.substr(0, comma);
    const std::string from = comma == std::string::npos ? std::string() : argument.substr(comma + 1);
    const auto number = [](const std::string& text) {
        return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
    };
    if ((!width.empty() && !number(width)) || (comma != std::string::npos && !number(from)))
        return false;
    if (!width.empty())
        digits = std::atoi(width.c_str());
    if (!from.empty())
        start = std::atoll(from.c_str());
    return digits >= 1 && digits <= 9;
}

// The name of the folder the picture lies in, as its path gives it.
std::string parentName(const std::string& path)
{
    const std::string folder = folderOf(path);
    return folder == "." ? std::string() : baseName(folder);
}

// Stands for a token that came out empty, until its separators are seen to.
constexpr char emptyToken = '\x01';

bool isSeparator(char c)
{
    return c == '_' || c == '-' || c == '.' || c == ' ';
}

// A part of a name with its empty tokens gone, and the separators that
// joined them to nothing: "{date}_{name}" without a date is "name", not
// "_name"; "{name}-{lens}" is "name"; "{a}_{b}_{c}" without b is "a_c".
std::string withoutEmptyTokens(const std::string& part)
{
    std::string out;
    for (std::size_t i = 0; i < part.size(); ++i) {
        if (part[i] != emptyToken) {
            out += part[i];
            continue;
        }
        std::size_t after = i + 1;
        while (after < part.size() && (isSeparator(part[after]) || part[after] == emptyToken))
            ++after;
        if (after == part.size())
            while (!out.empty() && isSeparator(out.back()))
                out.pop_back();
        else if (out.empty() || isSeparator(out.back()))
            i = after - 1;
    }
    return out;
}

}  // namespace

bool NameTemplate::parse(const std::string& text, NameTemplate& parsed, std::string& error)
{
    if (!TokenText::parse(text, nameTokenNames(), parsed.text_, error, {"counter"}))
        return false;
    if (text.empty() || text.back() == '/') {
        error = said(_("the template names no file after its last \"/\""));
        return false;
    }
    parsed.readsPicture_ = false;
    for (const Token& token : parsed.text_.tokens()) {
        int digits = 0;
        long long start = 0;
        if (token.name == "counter" && !counterArgument(token.argument, digits, start)) {
            error = said(_("{counter:%s} wants {counter:DIGITS} or {counter:DIGITS,START}, DIGITS from 1 to 9"),
                         token.argument);
            return false;
        }
        parsed.readsPicture_ = parsed.readsPicture_ || (token.name != "counter" && token.name != "folder" &&
                                                        token.name != "name");
    }
    return true;
}

std::string NameTemplate::path(const NameFacts& facts, const std::string& tail) const
{
    const std::string expanded = text_.expand([&facts](const Token& token) -> std::string {
        if (token.name == "counter") {
            int digits = 1;
            long long start = 1;
            counterArgument(token.argument, digits, start);
            std::string number = std::to_string(start + facts.index);
            return std::string(number.size() < std::size_t(digits) ? digits - number.size() : 0, '0') + number;
        }
        if (token.name == "folder")
            return nameValue(parentName(facts.path));
        if (token.name == "width" || token.name == "height")
            return std::to_string(token.name == "width" ? facts.width : facts.height);
        const std::string value = nameValue(pictureTokenValue(token, facts.tags, facts.path));
        return value.empty() && token.fallback.empty() ? std::string(1, emptyToken) : value;
    });
    // Folders only where the template has a "/": the values have none left.
    std::string path;
    std::size_t start = 0;
    for (std::size_t slash = expanded.find('/'); slash != std::string::npos; slash = expanded.find('/', start)) {
        const std::string folder = withoutEmptyTokens(expanded.substr(start, slash - start));
        if (!folder.empty())
            path += safeName(folder, "") + "/";
        start = slash + 1;
    }
    return path + safeName(withoutEmptyTokens(expanded.substr(start)), tail);
}
