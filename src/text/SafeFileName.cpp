#include "text/SafeFileName.h"

#include <algorithm>
#include <cctype>

#include "text/Utf8Text.h"

namespace {

char32_t safeCharacter(char32_t c)
{
    if (c == U':')
        return U'-';
    if (c < 0x20 || c == 0x7f || c == U'/' || c == U'\\' || c == U'*' || c == U'?' || c == U'"' || c == U'<' ||
        c == U'>' || c == U'|')
        return U'_';
    return c;
}

std::u32string safeCharacters(const std::string& text)
{
    std::u32string codes = codePoints(text);
    for (char32_t& c : codes)
        c = safeCharacter(c);
    return codes;
}

void dropTrailingDotsAndSpaces(std::u32string& name)
{
    while (!name.empty() && (name.back() == U'.' || name.back() == U' '))
        name.pop_back();
}

// Windows takes these as devices in any folder, with any extension and in
// any letter case; superscript digits count too.
bool reserved(const std::u32string& name)
{
    std::u32string base = name.substr(0, name.find(U'.'));
    while (!base.empty() && base.back() == U' ')
        base.pop_back();
    std::string upper;
    for (char32_t c : base) {
        if (c == U'\u00b9' || c == U'\u00b2' || c == U'\u00b3')
            c = U'1';
        if (c > 0x7f)
            return false;
        upper += static_cast<char>(std::toupper(static_cast<int>(c)));
    }
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
        return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string nameValue(const std::string& value)
{
    return utf8Of(safeCharacters(value));
}

std::string safeName(const std::string& name, const std::string& tail)
{
    std::u32string codes = safeCharacters(name);
    dropTrailingDotsAndSpaces(codes);
    // One byte spare for the "_" of a reserved name.
    const std::size_t room = tail.size() + 1 < mostNameBytes ? mostNameBytes - tail.size() - 1 : 0;
    while (!codes.empty() && utf8Of(codes).size() > room) {
        codes.pop_back();
        dropTrailingDotsAndSpaces(codes);
    }
    if (codes.empty())
        codes = U"_";
    if (reserved(codes))
        codes.insert(std::min(codes.find(U'.'), codes.size()), U"_");
    return utf8Of(codes) + tail;
}
