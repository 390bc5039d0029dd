#include "settings/ConfigFile.h"

#include "settings/LeadingInteger.h"

#include <cctype>
#include <cfloat>
#include <cmath>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <sstream>

#include "platform/RegularFile.h"
#include "text/Translated.h"

namespace {

constexpr const char* whitespace = " \n\t\v\r\f";

void cutAt(std::string& line, const std::string& marker)
{
    if (marker.empty())
        return;
    const std::size_t at = line.find(marker);
    if (at != std::string::npos)
        line.erase(at);
}

bool isBlank(const std::string& line)
{
    return line.find_first_not_of(whitespace) == std::string::npos;
}

bool contains(const std::string& line, const std::string& part)
{
    return !part.empty() && line.find(part) != std::string::npos;
}

// Length of the leading [sign] digits [. digits] [e [sign] digits] of text;
// 0 when it does not begin with a number.
std::size_t decimalNumberLength(const std::string& text)
{
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        return i - start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::size_t beforeExponent = i;
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() == 0)
            i = beforeExponent;
    }
    return i;
}

// With "." whatever the locale: the user's LC_NUMERIC must not turn "0.5" into 0.
double parseCDouble(const std::string& number)
{
    const char* first = number.c_str();
    if (*first == '+')
        ++first;
    double value = 0;
    if (std::from_chars(first, number.c_str() + number.size(), value).ec != std::errc::result_out_of_range)
        return value;
    // Beyond the range of a double: as strtod, too large is infinite and too small is zero.
    const std::size_t exponent = number.find_first_of("eE");
    const bool tiny = exponent != std::string::npos && number[exponent + 1] == '-';
    const double magnitude = tiny ? 0.0 : HUGE_VAL;
    return number[0] == '-' ? -magnitude : magnitude;
}

}  // namespace

ConfigFile::ConfigFile(std::string fileName, std::string delimiter, std::string commentMarker, std::string sentry)
    : delimiter_(std::move(delimiter)), commentMarker_(std::move(commentMarker)), sentry_(std::move(sentry))
{
    std::FILE* file = openRegularFile(fileName);
    if (!file)
        throw file_not_found(fileName, errno == EINVAL ? said(_("not a regular file")) : std::string());
    std::string text;
    char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, got);
        if (static_cast<long long>(text.size()) > largestFile) {
            std::fclose(file);
            throw file_not_found(fileName, said(_("larger than 1 MiB, which no settings file is")));
        }
    }
    std::fclose(file);
    std::istringstream in(text);
    try {
        load(in);
    } catch (const file_not_found& refused) {
        throw file_not_found(fileName, refused.why);
    }
}

// Reads one line; a carriage return before the line feed belongs to the
// line end. At the end of the stream gives an empty line and false.
bool ConfigFile::readLine(std::istream& in, std::string& line)
{
    if (!std::getline(in, line)) {
        line.clear();
        return false;
    }
    ++linesRead_;
    if (line.size() > longestLine)
        throw file_not_found(std::string(), said(_("line %d is longer than %d bytes, which no setting is"), linesRead_,
                                                 static_cast<int>(longestLine)));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

void ConfigFile::stripWhitespace(std::string& text)
{
    const std::size_t first = text.find_first_not_of(whitespace);
    if (first == std::string::npos) {
        text.clear();
        return;
    }
    text.erase(text.find_last_not_of(whitespace) + 1);
    text.erase(0, first);
}

void ConfigFile::load(std::istream& in)
{
    // A line read to see where a value ends, handled by the next pass.
    std::string pending;
    int pendingLine = 0;
    bool more = true;
    while (more || !pending.empty()) {
        std::string line;
        int lineNumber = pendingLine;
        if (!pending.empty()) {
            line.swap(pending);
        } else {
            more = readLine(in, line);
            lineNumber = linesRead_;
        }

        cutAt(line, commentMarker_);
        if (contains(line, sentry_)) {
            sawSentry_ = true;
            return;
        }
        const std::size_t at = delimiter_.empty() ? std::string::npos : line.find(delimiter_);
        if (at == std::string::npos)
            continue;

        std::string key = line.substr(0, at);
        std::string value = line.substr(at + delimiter_.size());
        while (more) {
            more = readLine(in, pending);
            pendingLine = linesRead_;
            if (isBlank(pending))
                break;
            cutAt(pending, commentMarker_);
            if (contains(pending, delimiter_) || contains(pending, sentry_))
                break;
            // A line that held only a comment adds no line feed.
            if (!isBlank(pending))
                value += '\n';
            value += pending;
            pending.clear();
        }
        stripWhitespace(key);
        stripWhitespace(value);
        if (entries_.count(key) == 0)
            order_.push_back(key);
        entries_[key] = value;
        lines_[key] = lineNumber;
    }
}

std::vector<std::string> ConfigFile::keys() const
{
    return order_;
}

int ConfigFile::lineOf(const std::string& key) const
{
    const auto found = lines_.find(key);
    return found == lines_.end() ? 0 : found->second;
}

bool ConfigFile::readValue(const std::string& key, std::string& out) const
{
    const auto found = entries_.find(key);
    if (found == entries_.end())
        return false;
    out = found->second;
    return true;
}

bool ConfigFile::readValue(const std::string& key, bool& out) const
{
    std::string text;
    if (!readValue(key, text))
        return false;
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    out = !(text == "FALSE" || text == "F" || text == "NO" || text == "N" || text == "0" || text == "NONE");
    return true;
}

bool ConfigFile::readValue(const std::string& key, int& out) const
{
    std::string text;
    if (!readValue(key, text))
        return false;
    out = leadingInteger(text);
    return true;
}

bool ConfigFile::readValue(const std::string& key, double& out) const
{
    std::string text;
    if (!readValue(key, text))
        return false;
    const std::size_t length = decimalNumberLength(text);
    const double value = length == 0 ? 0.0 : parseCDouble(text.substr(0, length));
    out = std::isinf(value) ? std::copysign(DBL_MAX, value) : value;
    return true;
}
