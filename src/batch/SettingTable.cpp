#include "batch/SettingTable.h"

#include <cctype>
#include <charconv>
#include <cmath>

#include "batch/NameTemplate.h"
#include "batch/PictureTokens.h"
#include "pixel/MarkPlaces.h"
#include "text/ColourText.h"
#include "text/TokenText.h"
#include "text/Translated.h"
#include "text/Utf8Text.h"

namespace {

// As few digits as read back the same number, with "." whatever the locale.
std::string shortest(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> valuesOf(const SettingRow& row)
{
    std::vector<std::string> values;
    const std::string all = row.values ? row.values : "";
    for (std::size_t start = 0; start <= all.size();) {
        const std::size_t bar = std::min(all.find('|', start), all.size());
        values.push_back(all.substr(start, bar - start));
        start = bar + 1;
    }
    return values;
}

bool inRange(const SettingRow& row, double value)
{
    return (row.aboveLeast ? value > row.least : value >= row.least) && value <= row.most;
}

// Digits with an optional sign, nothing else: "800px" and "12.7" are no
// whole numbers. Saturates far beyond any row's range.
bool wholeFromText(const std::string& text, long long& value)
{
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto read = std::from_chars(first, last, value);
    if (read.ec == std::errc::result_out_of_range)
        value = *first == '-' ? -(1LL << 62) : 1LL << 62;
    return first != last && read.ptr == last && read.ec != std::errc::invalid_argument;
}

// Digits, a "." and an exponent only: "inf", "nan", "0x1p3" and "0,5" are none.
bool decimalFromText(const std::string& text, double& value)
{
    if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return false;
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (*first == '+')
        ++first;
    const auto read = std::from_chars(first, last, value);
    if (read.ec == std::errc::result_out_of_range)
        value = HUGE_VAL;
    return read.ptr == last && read.ec != std::errc::invalid_argument && std::isfinite(value);
}

// "500", "500K", "500KB", "2M" or "2MB" in KB of 1000 bytes.
bool kilobytesFromText(std::string text, long long& kilobytes)
{
    text = upper(text);
    if (text.size() > 1 && text.back() == 'B')
        text.pop_back();
    long long factor = 1;
    if (!text.empty() && (text.back() == 'K' || text.back() == 'M')) {
        factor = text.back() == 'M' ? 1000 : 1;
        text.pop_back();
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || !wholeFromText(text, kilobytes))
        return false;
    kilobytes = std::min(kilobytes, 1LL << 40) * factor;
    return true;
}

bool textFits(const SettingRow& row, const std::string& value, std::string& why)
{
    const std::size_t length = row.kind == SettingKind::path ? value.size() : codePoints(value).size();
    if (length <= row.most)
        return true;
    why = allowedText(row);
    return false;
}

// Whether the row allows the text as its field holds it; why it does not.
bool textAllowed(const SettingRow& row, const std::string& value, std::string& why)
{
    if (!textFits(row, value, why))
        return false;
    why.clear();
    switch (row.kind) {
    case SettingKind::choice:
        for (const std::string& allowed : valuesOf(row))
            if (value == allowed)
                return true;
        break;
    case SettingKind::colour: {
        unsigned char rgb[3];
        if ((row.values && value == row.values) || colourFromText(value, rgb))
            return true;
        break;
    }
    case SettingKind::tokenText: {
        TokenText parsed;
        return TokenText::parse(value, pictureTokenNames(), parsed, why);
    }
    case SettingKind::nameTemplate: {
        NameTemplate names;
        return value.empty() || NameTemplate::parse(value, names, why);
    }
    case SettingKind::places: {
        std::vector<int> places;
        if (placesFromList(value, places))
            return true;
        break;
    }
    default:
        return true;
    }
    if (why.empty())
        why = allowedText(row);
    return false;
}

bool numberAllowed(const SettingRow& row, double value, std::string& why)
{
    const bool fits = row.kind == SettingKind::kilobytes ? value == 0 || inRange(row, value) : inRange(row, value);
    if (!fits)
        why = allowedText(row);
    return fits;
}

bool allowed(const SettingRow&, bool, std::string&)
{
    return true;
}

bool allowed(const SettingRow& row, int value, std::string& why)
{
    return numberAllowed(row, value, why);
}

bool allowed(const SettingRow& row, double value, std::string& why)
{
    return numberAllowed(row, value, why);
}

bool allowed(const SettingRow& row, const std::string& value, std::string& why)
{
    return textAllowed(row, value, why);
}

std::vector<SettingRow> collectRows()
{
    std::vector<SettingRow> rows;
    BatchSettings settings;
    forEachSetting(settings, [&rows](const SettingRow& row, auto&) { rows.push_back(row); });
    return rows;
}

}  // namespace

const std::vector<SettingRow>& settingRows()
{
    static const std::vector<SettingRow> rows = collectRows();
    return rows;
}

const SettingRow* rowOfKey(const std::string& key)
{
    for (const SettingRow& row : settingRows())
        if (key == row.key)
            return &row;
    return nullptr;
}

const SettingRow* rowOfOption(const std::string& option)
{
    for (const SettingRow& row : settingRows())
        if (row.option && option == row.option)
            return &row;
    return nullptr;
}

std::string allowedText(const SettingRow& row)
{
    const std::string least = shortest(row.least), most = shortest(row.most);
    switch (row.kind) {
    case SettingKind::yesNo:
        return said(_("1 or 0"));
    case SettingKind::whole:
    case SettingKind::decimal:
        return row.aboveLeast ? said(_("a number above %s, at most %s"), least, most)
                              : said(_("a number from %s to %s"), least, most);
    case SettingKind::kilobytes:
        return said(_("a size from %sK to %sM, such as 500K or 2M (K is 1000 bytes), or 0 for no limit"), least,
                    shortest(row.most / 1000));
    case SettingKind::choice: {
        const std::vector<std::string> values = valuesOf(row);
        std::string some = values.front();
        for (std::size_t i = 1; i + 1 < values.size(); ++i)
            some += ", " + values[i];
        return values.size() == 1 ? some : said(_("%s or %s"), some, values.back());
    }
    case SettingKind::colour:
        return row.values ? said(_("a colour as #RRGGBB, such as #FFFFFF for white, or auto"))
                          : said(_("a colour as #RRGGBB, such as #FFFFFF for white"));
    case SettingKind::places:
        return said(_("places such as top-left,bottom-right, separated by commas"));
    case SettingKind::path:
        return said(_("a path of at most %s bytes"), most);
    default:
        return said(_("a text of at most %s characters"), most);
    }
}

bool settingFromText(const SettingRow& row, const std::string& text, bool& field, std::string& why)
{
    static const char* const yes[] = {"1", "TRUE", "T", "YES", "Y"};
    static const char* const no[] = {"0", "FALSE", "F", "NO", "N", "NONE"};
    const std::string word = upper(text);
    for (const char* each : yes)
        if (word == each)
            return field = true;
    for (const char* each : no)
        if (word == each) {
            field = false;
            return true;
        }
    why = allowedText(row);
    return false;
}

bool settingFromText(const SettingRow& row, const std::string& text, int& field, std::string& why)
{
    long long value = 0;
    const bool read = row.kind == SettingKind::kilobytes ? kilobytesFromText(text, value) : wholeFromText(text, value);
    if (!read) {
        why = allowedText(row);
        return false;
    }
    if (!numberAllowed(row, static_cast<double>(value), why))
        return false;
    field = static_cast<int>(value);
    return true;
}

bool settingFromText(const SettingRow& row, const std::string& text, double& field, std::string& why)
{
    double value = 0;
    if (!decimalFromText(text, value)) {
        why = allowedText(row);
        return false;
    }
    if (!numberAllowed(row, value, why))
        return false;
    field = value;
    return true;
}

bool settingFromText(const SettingRow& row, const std::string& text, std::string& field, std::string& why)
{
    if (!textAllowed(row, text, why))
        return false;
    field = text;
    return true;
}

std::vector<SettingFault> settingFaults(const BatchSettings& settings)
{
    std::vector<SettingFault> faults;
    forEachSetting(settings, [&faults](const SettingRow& row, const auto& value) {
        std::string why;
        if (!allowed(row, value, why))
            faults.push_back({rowOfKey(row.key), why});
    });
    return faults;
}
