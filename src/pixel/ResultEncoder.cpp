#include "pixel/ResultEncoder.h"

#include <algorithm>
#include <cmath>

#include "pixel/JpegReplacer.h"
#include "pixel/WebpWriter.h"
#include "text/Translated.h"

namespace {

// The size of a result falls about exponentially with the quantizer's
// strength, not with the quality's number: each format's quality is mapped
// onto that strength (JPEG's table scale in logarithms, libjpeg's mapping;
// WebP's quantizer index, libwebp's mapping), where sizes lie close to a
// line, and back.
double strengthOf(ResultFormat format, double quality)
{
    const double q = std::clamp(quality, 1.0, 100.0);
    if (format == ResultFormat::jpeg)
        return std::log(q < 50 ? 5000.0 / q : 200.0 - 2.0 * q);
    const double c = q / 100.0;
    const double linear = c < 0.75 ? c * 2.0 / 3.0 : 2.0 * c - 1.0;
    return 127.0 * (1.0 - std::cbrt(linear));
}

double qualityOf(ResultFormat format, double strength)
{
    if (format == ResultFormat::jpeg) {
        const double scale = std::exp(strength);
        return scale <= 100.0 ? (200.0 - scale) / 2.0 : 5000.0 / scale;
    }
    const double v = std::clamp(1.0 - strength / 127.0, 0.0, 1.0);
    const double linear = v * v * v;
    return 100.0 * (linear < 0.5 ? linear * 1.5 : (linear + 1.0) / 2.0);
}

// How the logarithm of the size falls per unit of strength, for the first
// guess, as photos show it.
double firstSlope(ResultFormat format)
{
    return format == ResultFormat::jpeg ? -0.63 : -0.034;
}

// A point of the search: a quality, its strength and the logarithm of its size.
struct Probe {
    long quality = 0;
    double strength = 0, size = 0;
};

}  // namespace

EncodedResult encodeResult(const wxImage& picture, const ResultStyle& style,
                           const std::vector<unsigned char>& iccProfile, const std::vector<unsigned char>& exif,
                           const std::string& record)
{
    EncodedResult result;
    const auto encode = [&](long quality) {
        ++result.encodes;
        if (style.format == ResultFormat::webp)
            return webpBytes(picture, quality, iccProfile, exif, record, result.problem);
        std::vector<unsigned char> bytes = jpegBytes(picture, quality, iccProfile, exif, record, style.layout);
        if (bytes.empty())
            result.problem = said(_("cannot be encoded as JPEG"));
        return bytes;
    };
    long high = std::clamp(style.quality, lowestQuality, 100L);
    std::vector<unsigned char> highBytes = encode(high);
    result.quality = high;
    if (highBytes.empty() || style.maxBytes <= 0 || static_cast<long long>(highBytes.size()) <= style.maxBytes) {
        result.bytes = std::move(highBytes);
        return result;
    }
    result.problem.clear();
    // Known: high is over the limit; low (when above 0) fits. Each guess
    // takes the line through the two sizes that bracket the limit, or
    // through the last two seen, kept strictly between low and high.
    long low = lowestQuality - 1;
    std::vector<unsigned char> lowBytes;
    const double limit = std::log(double(style.maxBytes));
    const auto probe = [&](long quality, std::size_t size) {
        return Probe{quality, strengthOf(style.format, double(quality)), std::log(double(size))};
    };
    Probe lowProbe, highProbe = probe(high, highBytes.size()), lastProbe = highProbe, previousProbe;
    while (high - low > 1) {
        const Probe& a = low >= lowestQuality ? lowProbe : previousProbe;
        const Probe& b = low >= lowestQuality ? highProbe : lastProbe;
        double slope = firstSlope(style.format);
        if (a.quality != 0 && b.strength != a.strength && (b.size - a.size) / (b.strength - a.strength) < 0)
            slope = (b.size - a.size) / (b.strength - a.strength);
        const double guess = qualityOf(style.format, b.strength + (limit - b.size) / slope);
        const long quality = std::clamp(static_cast<long>(std::floor(guess)), std::max(low + 1, lowestQuality), high - 1);
        std::vector<unsigned char> bytes = encode(quality);
        if (bytes.empty())
            return result;
        previousProbe = lastProbe;
        lastProbe = probe(quality, bytes.size());
        if (static_cast<long long>(bytes.size()) <= style.maxBytes) {
            low = quality;
            lowProbe = lastProbe;
            lowBytes = std::move(bytes);
        } else {
            high = quality;
            highProbe = lastProbe;
            highBytes = std::move(bytes);
        }
    }
    result.overLimit = lowBytes.empty();
    result.quality = result.overLimit ? high : low;
    result.bytes = result.overLimit ? std::move(highBytes) : std::move(lowBytes);
    return result;
}
