#include <gtest/gtest.h>

#include <webp/decode.h>
#include <webp/mux.h>

#include "pixel/ResultEncoder.h"
#include "pixel/WebpWriter.h"

namespace {

// Detail a photo has: a gradient under fine texture, the same every run.
wxImage texturedPicture(int width, int height)
{
    wxImage picture(width, height, false);
    unsigned char* p = picture.GetData();
    unsigned state = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 3) {
            state = state * 1103515245u + 12345u;
            const int noise = int(state >> 26);  // 0..63
            p[0] = static_cast<unsigned char>(40 + x * 150 / width + noise);
            p[1] = static_cast<unsigned char>(60 + y * 120 / height + noise / 2);
            p[2] = static_cast<unsigned char>(90 + noise);
        }
    return picture;
}

std::vector<unsigned char> chunkOf(const std::vector<unsigned char>& webp, const char* fourcc)
{
    const WebPData data{webp.data(), webp.size()};
    WebPMux* mux = WebPMuxCreate(&data, 0);
    WebPData chunk{nullptr, 0};
    std::vector<unsigned char> bytes;
    if (mux && WebPMuxGetChunk(mux, fourcc, &chunk) == WEBP_MUX_OK)
        bytes.assign(chunk.bytes, chunk.bytes + chunk.size);
    WebPMuxDelete(mux);
    return bytes;
}

// A WebP result decodes with libwebp at the picture's size and carries the
// profile, the EXIF data (without JPEG's signature) and the record.
TEST(ResultEncoder, WebpWithProfileExifAndRecord)
{
    const wxImage picture = texturedPicture(64, 48);
    const std::vector<unsigned char> profile(200, 7), exif = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42};
    ResultStyle style;
    style.format = ResultFormat::webp;
    const EncodedResult result = encodeResult(picture, style, profile, exif, "Tessaly processed 1.1 settings x");
    ASSERT_FALSE(result.bytes.empty()) << result.problem;
    int width = 0, height = 0;
    EXPECT_TRUE(WebPGetInfo(result.bytes.data(), result.bytes.size(), &width, &height));
    EXPECT_EQ(width * 1000 + height, 64048);
    EXPECT_EQ(chunkOf(result.bytes, "ICCP"), profile);
    EXPECT_EQ(chunkOf(result.bytes, "EXIF"), std::vector<unsigned char>(exif.begin() + 6, exif.end()));
    EXPECT_EQ(webpRecord(result.bytes), "Tessaly processed 1.1 settings x");
    EXPECT_EQ(webpRecord(std::vector<unsigned char>(result.bytes.begin(), result.bytes.begin() + 40)), "");
    std::string problem;
    EXPECT_TRUE(webpBytes(wxImage(16384, 1, false), 82, {}, {}, {}, problem).empty());
    EXPECT_NE(problem.find("16383"), std::string::npos) << problem;
}

// Under a limit, the quality is the largest up to the chosen one that
// fits: the next one up does not. Below what even the lowest quality
// reaches, the lowest quality's bytes, marked. Without a limit, one encode.
TEST(ResultEncoder, TheLargestQualityThatFits)
{
    const wxImage picture = texturedPicture(400, 300);
    for (const ResultFormat format : {ResultFormat::jpeg, ResultFormat::webp}) {
        ResultStyle style;
        style.format = format;
        const EncodedResult free = encodeResult(picture, style, {}, {}, {});
        EXPECT_EQ(free.encodes, 1);
        EXPECT_EQ(free.quality, 82);
        for (const double share : {1.5, 1.0, 0.8, 0.5, 0.3, 0.15}) {
            style.maxBytes = static_cast<long long>(free.bytes.size() * share);
            const EncodedResult fitted = encodeResult(picture, style, {}, {}, {});
            SCOPED_TRACE(std::to_string(int(format)) + " limit " + std::to_string(style.maxBytes));
            ASSERT_FALSE(fitted.overLimit);
            EXPECT_LE(static_cast<long long>(fitted.bytes.size()), style.maxBytes);
            EXPECT_LE(fitted.encodes, 5);
            if (fitted.quality < 82) {
                ResultStyle above = style;
                above.quality = fitted.quality + 1;
                above.maxBytes = 0;
                EXPECT_GT(static_cast<long long>(encodeResult(picture, above, {}, {}, {}).bytes.size()), style.maxBytes);
            } else {
                EXPECT_EQ(fitted.bytes, free.bytes);
            }
        }
        style.maxBytes = 500;
        const EncodedResult tiny = encodeResult(picture, style, {}, {}, {});
        EXPECT_TRUE(tiny.overLimit);
        EXPECT_EQ(tiny.quality, lowestQuality);
        EXPECT_FALSE(tiny.bytes.empty());
    }
}

}  // namespace
