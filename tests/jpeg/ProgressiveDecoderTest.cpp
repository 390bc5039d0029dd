#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <jpeglib.h>

#include "batch/TestJpeg.h"
#include "jpeg/ProgressiveDecoder.h"

namespace {

constexpr std::size_t plenty = std::size_t(64) << 20;

struct Decoded {
    ProgressiveDecoder::Outcome outcome = ProgressiveDecoder::Outcome::declined;
    wxImage picture;
};

Decoded decode(const Bytes& jpeg, int numerator, std::size_t memory = plenty,
               const std::atomic<bool>* cancel = nullptr)
{
    Decoded result;
    std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(jpeg.data()), jpeg.size(), "rb");
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

// At full size both decoders apply the exact transform to every
// coefficient: the pixels agree to rounding, so every coefficient, every
// refinement bit and every restart was read as libjpeg reads it. Reduced,
// libjpeg's transforms also fold in some finer coefficients (they average
// the full picture's pixels) where this one drops them: near, not equal.
TEST(ProgressiveDecoder, DecodesAsLibjpegDoesAtEveryScale)
{
    static const struct {
        const char* name;
        StoredAs storedAs;
        unsigned restartInterval;
        int width, height;
    } cases[] = {
        {"4:2:0, odd size", StoredAs::ycc420, 0, 333, 257},
        {"4:2:2, restarts", StoredAs::ycc422, 5, 301, 199},
        {"4:4:4", StoredAs::ycc444, 0, 640, 480},
        {"grey, restarts", StoredAs::grey, 3, 250, 170},
    };
    for (const auto& c : cases) {
        const Bytes jpeg = encodeJpeg(shadedPicture(c.width, c.height), true, c.storedAs, {}, c.restartInterval);
        for (const int numerator : {1, 2, 3, 4, 8}) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << numerator << "/8");
            const Decoded ours = decode(jpeg, numerator);
            const bool halfChroma = c.storedAs == StoredAs::ycc420 || c.storedAs == StoredAs::ycc422;
            if (numerator == 8 && halfChroma) {
                // Chroma would need 16 samples a block: libjpeg's work.
                EXPECT_EQ(ours.outcome, ProgressiveDecoder::Outcome::declined);
                continue;
            }
            ASSERT_EQ(ours.outcome, ProgressiveDecoder::Outcome::decoded);
            LibjpegSamples decoded = libjpegDecode(jpeg, numerator, JCS_RGB);
            const wxImage theirs(decoded.width, decoded.height, decoded.samples.data(), true);
            ASSERT_EQ(ours.picture.GetSize(), theirs.GetSize());
            if (numerator == 8)
                EXPECT_LE(largestDifference(ours.picture, theirs), 3);
            else
                EXPECT_GT(psnr(ours.picture, theirs), 32);
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
    using Outcome = ProgressiveDecoder::Outcome;
    const struct {
        const char* name;
        Bytes jpeg;
        std::size_t memory;
        const std::atomic<bool>* cancel;
        Outcome outcome;
    } cases[] = {
        {"whole", progressive, plenty, nullptr, Outcome::decoded},
        {"baseline", encodeJpeg(shadedPicture(320, 240), false), plenty, nullptr, Outcome::declined},
        {"CMYK", encodeJpeg(shadedPicture(320, 240), true, StoredAs::cmyk), plenty, nullptr, Outcome::declined},
        {"cut in a scan", cut, plenty, nullptr, Outcome::declined},
        {"data left over", leftOver, plenty, nullptr, Outcome::declined},
        {"less memory than it keeps", progressive, 20000, nullptr, Outcome::declined},
        {"cancelled", progressive, plenty, &cancelled, Outcome::cancelled},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode(c.jpeg, 2, c.memory, c.cancel).outcome, c.outcome) << c.name;
}

}  // namespace
