#include "pixel/WebpWriter.h"

#include <cstring>

#include <webp/encode.h>
#include <webp/mux.h>

#include "text/Translated.h"

namespace {

// The chunk that holds the processing record, as JPEG's comment does.
constexpr char recordChunk[] = "TSLY";
constexpr int largestSide = WEBP_MAX_DIMENSION;

WebPData dataOf(const void* bytes, std::size_t size)
{
    return WebPData{static_cast<const uint8_t*>(bytes), size};
}

}  // namespace

bool isWebp(const std::vector<unsigned char>& head)
{
    return head.size() >= 12 && std::memcmp(head.data(), "RIFF", 4) == 0 && std::memcmp(head.data() + 8, "WEBP", 4) == 0;
}

std::vector<unsigned char> webpBytes(const wxImage& picture, long quality, const std::vector<unsigned char>& iccProfile,
                                     const std::vector<unsigned char>& exif, const std::string& record,
                                     std::string& problem)
{
    if (!picture.IsOk() || picture.GetWidth() > largestSide || picture.GetHeight() > largestSide) {
        problem = said(_("WebP takes at most %d pixels a side"), static_cast<int>(largestSide));
        return {};
    }
    WebPConfig config;
    WebPPicture input;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&input)) {
        problem = said(_("the WebP encoder cannot start"));
        return {};
    }
    config.quality = static_cast<float>(quality < 1 ? 1 : quality > 100 ? 100 : quality);
    input.width = picture.GetWidth();
    input.height = picture.GetHeight();
    WebPMemoryWriter encoded;
    WebPMemoryWriterInit(&encoded);
    input.writer = WebPMemoryWrite;
    input.custom_ptr = &encoded;
    const bool done = WebPPictureImportRGB(&input, picture.GetData(), 3 * picture.GetWidth()) &&
                      WebPEncode(&config, &input);
    WebPPictureFree(&input);
    std::vector<unsigned char> bytes;
    WebPMux* mux = done ? WebPMuxNew() : nullptr;
    if (mux) {
        const WebPData image = dataOf(encoded.mem, encoded.size);
        bool muxed = WebPMuxSetImage(mux, &image, 1) == WEBP_MUX_OK;
        if (muxed && !iccProfile.empty()) {
            const WebPData chunk = dataOf(iccProfile.data(), iccProfile.size());
            muxed = WebPMuxSetChunk(mux, "ICCP", &chunk, 1) == WEBP_MUX_OK;
        }
        if (muxed && exif.size() > 6) {
            const WebPData chunk = dataOf(exif.data() + 6, exif.size() - 6);
            muxed = WebPMuxSetChunk(mux, "EXIF", &chunk, 1) == WEBP_MUX_OK;
        }
        if (muxed && !record.empty()) {
            const WebPData chunk = dataOf(record.data(), record.size());
            muxed = WebPMuxSetChunk(mux, recordChunk, &chunk, 1) == WEBP_MUX_OK;
        }
        WebPData assembled;
        WebPDataInit(&assembled);
        if (muxed && WebPMuxAssemble(mux, &assembled) == WEBP_MUX_OK)
            bytes.assign(assembled.bytes, assembled.bytes + assembled.size);
        WebPDataClear(&assembled);
        WebPMuxDelete(mux);
    }
    WebPMemoryWriterClear(&encoded);
    if (bytes.empty())
        problem = said(_("cannot be encoded as WebP"));
    return bytes;
}

std::string webpRecord(const std::vector<unsigned char>& file)
{
    if (!isWebp(file))
        return {};
    const WebPData data = dataOf(file.data(), file.size());
    WebPMux* mux = WebPMuxCreate(&data, 0);
    if (!mux)
        return {};
    WebPData chunk;
    std::string record;
    if (WebPMuxGetChunk(mux, recordChunk, &chunk) == WEBP_MUX_OK)
        record.assign(reinterpret_cast<const char*>(chunk.bytes), chunk.size);
    WebPMuxDelete(mux);
    return record;
}
