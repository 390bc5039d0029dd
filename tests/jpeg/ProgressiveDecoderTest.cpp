#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "TempDir.h"
#include "batch/TestJpeg.h"
#include "jpeg/ProgressiveDecoder.h"

namespace {

constexpr std::size_t plenty = std::size_t(64) << 20;

struct Decoded {
    ProgressiveDecoder::Outcome outcome = ProgressiveDecoder::Outcome::declined;
    ProgressiveDecoder::Decline reason = ProgressiveDecoder::Decline::damaged;
    wxImage picture;
};

Decoded decode(const Bytes& jpeg, int numerator, std::size_t memory = plenty,
               const std::atomic<bool>* cancel = nullptr)
{
    Decoded result;
    std::FILE* stream = streamOf(jpeg.data(), jpeg.size());
    ProgressiveDecoder decoder(stream, 1000, cancel);
    if (decoder.readHead()) {
        const int width = (decoder.width() * numerator + 7) / 8;
        const int height = (decoder.height() * numerator + 7) / 8;
        result.picture = wxImage(width, height, false);
        const int channels = decoder.channels();
        result.outcome = decoder.decode(numerator, memory, [&](int row, const unsigned char* samples) {
            unsigned char* rgb = result.picture.GetData() + std::size_t(row) * width * 3;
            for (int i = 0; i < width * 3; ++i)
                rgb[i] = samples[channels == 3 ? i : i / 3];
        });
    }
    result.reason = decoder.declineReason();
    std::fclose(stream);
    return result;
}

double psnr(const wxImage& a, const wxImage& b)
{
    double sum = 0;
    const std::size_t bytes = std::size_t(a.GetWidth()) * a.GetHeight() * 3;
    for (std::size_t i = 0; i < bytes; ++i) {
        const double difference = double(a.GetData()[i]) - b.GetData()[i];
        sum += difference * difference;
    }
    return sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * bytes / sum);
}

int largestDifference(const wxImage& a, const wxImage& b)
{
    int largest = 0;
    const std::size_t bytes = std::size_t(a.GetWidth()) * a.GetHeight() * 3;
    for (std::size_t i = 0; i < bytes; ++i)
        largest = std::max(largest, std::abs(int(a.GetData()[i]) - b.GetData()[i]));
    return largest;
}

// The full decode averaged over the cells of 8 / numerator pixels that each
// sample of a reduced decode stands for (cut at the picture's edges).
wxImage boxAverage(const LibjpegSamples& full, int numerator)
{
    const int cell = 8 / numerator;
    const int width = (full.width + cell - 1) / cell, height = (full.height + cell - 1) / cell;
    wxImage average(width, height, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0, count = 0;
                for (int j = y * cell; j < std::min((y + 1) * cell, full.height); ++j)
                    for (int i = x * cell; i < std::min((x + 1) * cell, full.width); ++i, ++count)
                        sum += full.samples[(std::size_t(j) * full.width + i) * 3 + c];
                average.GetData()[(std::size_t(y) * width + x) * 3 + c] =
                    static_cast<unsigned char>((sum + count / 2) / count);
            }
    return average;
}

// Scan scripts as encoders write them, for components 0..count-1: libjpeg's
// own (empty), bands without successive approximation, three bits held
// back and refined one by one (the DC coefficients too), and one component
// at a time with bands refined at different depths.
std::vector<std::pair<const char*, std::vector<jpeg_scan_info>>> scanScripts(int count)
{
    const auto scan = [](std::vector<int> components, int start, int end, int high, int low) {
        jpeg_scan_info info{};
        info.comps_in_scan = static_cast<int>(components.size());
        std::copy(components.begin(), components.end(), info.component_index);
        info.Ss = start;
        info.Se = end;
        info.Ah = high;
        info.Al = low;
        return info;
    };
    std::vector<int> all;
    for (int c = 0; c < count; ++c)
        all.push_back(c);
    std::vector<jpeg_scan_info> bands{scan(all, 0, 0, 0, 0)}, deep{scan(all, 0, 0, 0, 3)}, single;
    for (int c = 0; c < count; ++c) {
        bands.push_back(scan({c}, 1, 5, 0, 0));
        bands.push_back(scan({c}, 6, 63, 0, 0));
        deep.push_back(scan({c}, 1, 63, 0, 3));
        for (const auto& s : {scan({c}, 0, 0, 0, 1), scan({c}, 1, 2, 0, 1), scan({c}, 3, 63, 0, 2),
                              scan({c}, 3, 63, 2, 1), scan({c}, 1, 63, 1, 0), scan({c}, 0, 0, 1, 0)})
            single.push_back(s);
    }
    for (int low = 2; low >= 0; --low) {
        deep.push_back(scan(all, 0, 0, low + 1, low));
        for (int c = 0; c < count; ++c)
            deep.push_back(scan({c}, 1, 63, low + 1, low));
    }
    return {{"libjpeg's", {}}, {"bands", bands}, {"three bits refined", deep}, {"one at a time", single}};
}

// At full size both decoders apply libjpeg's integer transform to every
// coefficient and stretch chroma stored at half resolution alike: the pixels
// are the same, so every coefficient, every refinement bit and every
// restart was read as libjpeg reads it. Reduced,
// each sample is the mean of the full picture's pixels it stands for, with
// chroma taken as stored rather than smoothed up. Low
// quality makes a misplaced refinement bit show: coarse quantizers
// multiply it.
TEST(ProgressiveDecoder, DecodesAsLibjpegDoesAtEveryScale)
{
    static const struct {
        const char* name;
        StoredAs storedAs;
        unsigned restartInterval;
        int width, height;
    } pictures[] = {
        {"4:2:0, odd size", StoredAs::ycc420, 0, 333, 257},
        {"4:2:2, restarts", StoredAs::ycc422, 5, 301, 199},
        {"4:4:0, whole blocks down", StoredAs::ycc440, 0, 203, 144},
        {"4:4:4", StoredAs::ycc444, 0, 240, 160},
        {"grey, restarts", StoredAs::grey, 3, 250, 170},
    };
    for (const auto& picture : pictures) {
        const int components = picture.storedAs == StoredAs::grey ? 1 : 3;
        for (const auto& [script, scans] : scanScripts(components)) {
            for (const int quality : {30, 90}) {
                const Bytes jpeg =
                    encodeScripted(shadedPicture(picture.width, picture.height), quality, picture.storedAs, scans,
                                   picture.restartInterval);
                const LibjpegSamples full = libjpegDecode(jpeg, 8, JCS_RGB, false);
                for (const int numerator : {1, 2, 4, 8}) {
                    SCOPED_TRACE(testing::Message() << picture.name << ", " << script << " scans, quality "
                                                    << quality << ", at " << numerator << "/8");
                    const Decoded ours = decode(jpeg, numerator);
                    ASSERT_EQ(ours.outcome, ProgressiveDecoder::Outcome::decoded);
                    if (numerator == 8) {
                        LibjpegSamples smooth = libjpegDecode(jpeg, 8, JCS_RGB, true);
                        const wxImage theirs(smooth.width, smooth.height, smooth.samples.data(), true);
                        EXPECT_EQ(largestDifference(ours.picture, theirs), 0);
                    } else {
                        const wxImage average = boxAverage(full, numerator);
                        ASSERT_EQ(ours.picture.GetSize(), average.GetSize());
                        EXPECT_GE(psnr(ours.picture, average), 40);
                    }
                }
            }
        }
    }
}

TEST(ProgressiveDecoder, DeclinesWhatItDoesNotTakeWhole)
{
    const Bytes progressive = encodeJpeg(shadedPicture(320, 240), true);
    std::atomic<bool> cancelled{true};
    static const std::uint8_t endOfImage[] = {0xFF, 0xD9};
    Bytes cut(progressive.begin(), progressive.begin() + static_cast<std::ptrdiff_t>(progressive.size() / 2));
    cut.insert(cut.end(), std::begin(endOfImage), std::end(endOfImage));
    Bytes leftOver = progressive;
    leftOver.insert(leftOver.end() - 2, {0x12, 0x34});
    // No scan carries the last coefficient: every scan is whole, the
    // picture is not.
    const Bytes lastCoefficientMissing = encodeScripted(shadedPicture(320, 240), 90, StoredAs::grey,
                                                        {{1, {0}, 0, 0, 0, 0}, {1, {0}, 1, 62, 0, 0}});
    // A table number beyond the four a picture may have.
    const Bytes tableFour = Bytes{0xFF, 0xD8} + segment(0xC4, Bytes{0x04, 1} + Bytes(15, 0) + Bytes{0}) +
                            Bytes(progressive.begin() + 2, progressive.end());
    using Outcome = ProgressiveDecoder::Outcome;
    using Decline = ProgressiveDecoder::Decline;
    const struct {
        const char* name;
        Bytes jpeg;
        int numerator;
        std::size_t memory;
        const std::atomic<bool>* cancel;
        Outcome outcome;
        Decline reason;
    } cases[] = {
        {"whole", progressive, 2, plenty, nullptr, Outcome::decoded, Decline::damaged},
        {"baseline", encodeJpeg(shadedPicture(320, 240), false), 2, plenty, nullptr, Outcome::declined,
         Decline::notProgressive},
        {"CMYK", encodeJpeg(shadedPicture(320, 240), true, StoredAs::cmyk), 2, plenty, nullptr, Outcome::declined,
         Decline::notTaken},
        {"3/4, chroma at half", progressive, 6, plenty, nullptr, Outcome::declined, Decline::oddScale},
        {"full size, chroma two samples across", encodeJpeg(shadedPicture(4, 64), true), 8, plenty, nullptr,
         Outcome::declined, Decline::notTaken},
        {"cut in a scan", cut, 2, plenty, nullptr, Outcome::declined, Decline::damaged},
        {"data left over", leftOver, 2, plenty, nullptr, Outcome::declined, Decline::damaged},
        {"less memory than it keeps", progressive, 2, 20000, nullptr, Outcome::declined, Decline::memory},
        {"cancelled", progressive, 2, plenty, &cancelled, Outcome::cancelled, Decline::damaged},
        {"a coefficient no scan carried", lastCoefficientMissing, 2, plenty, nullptr, Outcome::declined,
         Decline::damaged},
        {"a Huffman table numbered 4", tableFour, 2, plenty, nullptr, Outcome::declined, Decline::damaged},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decode(c.jpeg, c.numerator, c.memory, c.cancel);
        EXPECT_EQ(decoded.outcome, c.outcome) << c.name;
        if (c.outcome == Outcome::declined) {
            EXPECT_EQ(decoded.reason, c.reason) << c.name;
        }
    }
}

}  // namespace
