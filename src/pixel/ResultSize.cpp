#include "pixel/ResultSize.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "diag/FixedNumber.h"

namespace {

const struct {
    FitMode mode;
    const char* name;
} modeNames[] = {{FitMode::box, "box"},       {FitMode::longSide, "long"}, {FitMode::shortSide, "short"},
                 {FitMode::width, "width"},   {FitMode::height, "height"}, {FitMode::frame, "frame"},
                 {FitMode::megapixels, "mp"}, {FitMode::cover, "cover"},  {FitMode::contain, "contain"}};

// A whole number of 1 to 1000000, digits only.
bool measure(const std::string& text, long long& number)
{
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::atoll(text.c_str());
    return number >= 1 && number <= 1000000;
}

bool framed(FitMode mode)
{
    return mode == FitMode::frame || mode == FitMode::cover || mode == FitMode::contain;
}

// "WxH" into the rule's measures.
bool frameMeasures(const std::string& text, SizeRule& rule)
{
    const std::size_t times = text.find('x');
    return times != std::string::npos && measure(text.substr(0, times), rule.width) &&
           measure(text.substr(times + 1), rule.height);
}

// At least `other * to / from`, rounded up: a cover side never falls short
// of the frame.
long long scaledUp(long long other, long long to, long long from)
{
    return std::max<long long>(1, (other * to + from - 1) / from);
}

// The other side of a picture whose side of length `from` becomes `to`,
// at least one pixel.
long long scaled(long long other, long long to, long long from)
{
    return std::max<long long>(1, other * to / from);
}

// The largest width w, with the height scaled from it, whose area is at most
// `most` pixels.
FittedSize area(long long width, long long height, long long most)
{
    auto heightAt = [&](long long w) { return std::max<long long>(1, height * w / width); };
    long long w = std::clamp<long long>(
        static_cast<long long>(std::sqrt(static_cast<double>(most) * width / height)), 1, width);
    while (w < width && (w + 1) * heightAt(w + 1) <= most)
        ++w;
    while (w > 1 && w * heightAt(w) > most)
        --w;
    return {w, heightAt(w)};
}

}  // namespace

bool megapixelsFromText(const std::string& text, double& megapixels)
{
    // "." as the decimal point, whatever the locale: digits, then at most
    // two after one point.
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point), part = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.empty() || whole.size() > 4 || part.size() > 2 ||
        (whole + part).find_first_not_of("0123456789") != std::string::npos || (point != std::string::npos && part.empty()))
        return false;
    const double value = std::atof(whole.c_str()) + (part.empty() ? 0 : std::atoi(part.c_str()) / (part.size() == 1 ? 10.0 : 100.0));
    if (!(value >= 0.01 && value <= 1000))
        return false;
    megapixels = value;
    return true;
}

const char* fitModeName(FitMode mode)
{
    for (const auto& named : modeNames)
        if (named.mode == mode)
            return named.name;
    return "box";
}

bool fitModeFromName(const std::string& name, FitMode& mode)
{
    for (const auto& named : modeNames)
        if (name == named.name) {
            mode = named.mode;
            return true;
        }
    return false;
}

bool sizeRuleFromText(const std::string& text, SizeRule& rule)
{
    const std::size_t colon = text.find(':');
    SizeRule read;
    if (colon == std::string::npos) {
        read.mode = FitMode::frame;
        if (!frameMeasures(text, read))
            return false;
    } else {
        const std::string value = text.substr(colon + 1);
        if (!fitModeFromName(text.substr(0, colon), read.mode) || read.mode == FitMode::frame)
            return false;
        if (framed(read.mode)) {
            if (!frameMeasures(value, read))
                return false;
        } else if (read.mode == FitMode::megapixels) {
            if (!megapixelsFromText(value, read.megapixels))
                return false;
        } else if (!measure(value, read.width)) {
            return false;
        }
    }
    rule = read;
    return true;
}

std::string sizeRuleText(const SizeRule& rule)
{
    switch (rule.mode) {
    case FitMode::frame:
        return std::to_string(rule.width) + "x" + std::to_string(rule.height);
    case FitMode::cover:
    case FitMode::contain:
        return std::string(fitModeName(rule.mode)) + ":" + std::to_string(rule.width) + "x" +
               std::to_string(rule.height);
    case FitMode::megapixels: {
        std::string number = formatFixed(rule.megapixels, 2);
        number.erase(number.find_last_not_of('0') + 1);
        if (number.back() == '.')
            number.pop_back();
        return "mp:" + number;
    }
    default:
        return std::string(fitModeName(rule.mode)) + ":" + std::to_string(rule.width);
    }
}

bool shrinksUnder(const SizeRule& rule, long long width, long long height, FittedSize& fitted)
{
    const long long m = rule.width;
    fitted = {width, height};
    switch (rule.mode) {
    case FitMode::box:
    case FitMode::longSide:
        if (width <= m && height <= m)
            return false;
        fitted = fitInBox(width, height, m, m);
        return true;
    case FitMode::shortSide:
        if (std::min(width, height) <= m)
            return false;
        fitted = width <= height ? FittedSize{m, scaled(height, m, width)} : FittedSize{scaled(width, m, height), m};
        return true;
    case FitMode::width:
        if (width <= m)
            return false;
        fitted = {m, m > 0 ? scaled(height, m, width) : 0};
        return true;
    case FitMode::height:
        if (height <= m)
            return false;
        fitted = {m > 0 ? scaled(width, m, height) : 0, m};
        return true;
    case FitMode::frame:
    case FitMode::contain:
        if (width <= rule.width && height <= rule.height)
            return false;
        fitted = fitInBox(width, height, rule.width, rule.height);
        return true;
    case FitMode::cover:
        // The side that reaches the frame last decides: W/w against H/h.
        if (width <= rule.width || height <= rule.height)
            return false;
        fitted = rule.width * height >= rule.height * width
                     ? FittedSize{rule.width, scaledUp(height, rule.width, width)}
                     : FittedSize{scaledUp(width, rule.height, height), rule.height};
        return true;
    case FitMode::megapixels: {
        const long long most = std::llround(rule.megapixels * 1e6);
        if (width <= 0 || height <= 0 || width * height <= most)
            return false;
        fitted = most > 0 ? area(width, height, most) : FittedSize{0, 0};
        return true;
    }
    }
    return false;
}

FittedSize coverCrop(const SizeRule& rule, long long width, long long height)
{
    if (width >= rule.width && height >= rule.height)
        return {rule.width, rule.height};
    // Wider than the frame's shape: its full height, else its full width.
    if (width * rule.height >= height * rule.width)
        return {std::max<long long>(1, height * rule.width / rule.height), height};
    return {width, std::max<long long>(1, width * rule.height / rule.width)};
}
