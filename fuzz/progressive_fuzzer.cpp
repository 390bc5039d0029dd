// Feeds arbitrary bytes through the progressive decoder at every scale the
// batch uses: whatever the bytes, it must decline or hand over exactly the
// rows of the size it reports, each once, in order. At full size it must
// also agree with libjpeg within rounding on every stream libjpeg decodes
// without a complaint and whose coefficients 8-bit samples could give.
// Samples far outside 0..255 are the exception: libjpeg's vector code works
// in 16 bits and its plain code's range table wraps them round where this
// decoder clamps, in single pixels; a misread bit shows in whole blocks.
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "jpeg/ProgressiveDecoder.h"

namespace {

struct Guard {
    jpeg_error_mgr manager;  // first: libjpeg's err pointer is cast back to this
    std::jmp_buf jump;
};

extern "C" void leave(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Guard*>(info->err)->jump, 1);
}

extern "C" void quiet(j_common_ptr) {}

// Reads the stream's head, after the caller's setjmp on guard: an error
// leaves through it.
void readHead(jpeg_decompress_struct& info, Guard& guard, const std::uint8_t* data, std::size_t size)
{
    info.err = jpeg_std_error(&guard.manager);
    guard.manager.error_exit = leave;
    guard.manager.output_message = quiet;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.mem->max_memory_to_use = 64L << 20;
}

// libjpeg's full decode, in RGB or grey; empty when it errs or warns.
std::vector<unsigned char> libjpegPixels(const std::uint8_t* data, std::size_t size, int channels)
{
    jpeg_decompress_struct info;
    Guard guard;
    std::vector<unsigned char> pixels;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    readHead(info, guard, data, size);
    info.out_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    const std::size_t row = std::size_t(info.output_width) * channels;
    pixels.resize(row * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW at = pixels.data() + row * info.output_scanline;
        jpeg_read_scanlines(&info, &at, 1);
    }
    jpeg_finish_decompress(&info);
    if (guard.manager.num_warnings > 0)
        pixels.clear();
    jpeg_destroy_decompress(&info);
    return pixels;
}

// The largest coefficient magnitude libjpeg reads, dequantized; -1 when it
// errs.
int largestCoefficient(const std::uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct info;
    Guard guard;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&info);
        return -1;
    }
    readHead(info, guard, data, size);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&info);
    int largest = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        for (JDIMENSION row = 0; row < component.height_in_blocks; ++row) {
            JBLOCKARRAY blocks = (*info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&info), arrays[c],
                                                                 row, 1, FALSE);
            for (JDIMENSION column = 0; column < component.width_in_blocks; ++column)
                for (int k = 0; k < DCTSIZE2; ++k)
                    largest = std::max(largest, std::abs(blocks[0][column][k] * component.quant_table->quantval[k]));
        }
    }
    jpeg_destroy_decompress(&info);
    return largest;
}

// What the transform of 8-bit samples gives at most (the mean's 8 times
// 128), with the quantizer's rounding. Beyond it libjpeg's own decoders
// disagree with one another: its vector code wraps round in 16 bits, its
// plain code's range table wraps samples far outside 0..255 (whole rows of
// them here and there), and this decoder clamps.
constexpr int mostNaturalCoefficient = 1024 + 128;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    for (const int numerator : {1, 2, 4, 8}) {
        std::FILE* stream = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
        if (!stream)
            return 0;
        ProgressiveDecoder decoder(stream, 1000);
        if (decoder.readHead()) {
            const int height = (decoder.height() * numerator + 7) / 8;
            const std::size_t rowBytes = std::size_t((decoder.width() * numerator + 7) / 8) * decoder.channels();
            std::vector<unsigned char> pixels;
            int next = 0;
            const auto outcome = decoder.decode(numerator, std::size_t(64) << 20,
                                                [&](int row, const unsigned char* samples) {
                                                    if (row != next++)
                                                        __builtin_trap();
                                                    if (numerator == 8)
                                                        pixels.insert(pixels.end(), samples, samples + rowBytes);
                                                });
            if (outcome == ProgressiveDecoder::Outcome::decoded && next != height)
                __builtin_trap();
            if (outcome == ProgressiveDecoder::Outcome::decoded && numerator == 8 &&
                largestCoefficient(data, size) <= mostNaturalCoefficient) {
                const std::vector<unsigned char> theirs = libjpegPixels(data, size, decoder.channels());
                if (!theirs.empty() && theirs.size() != pixels.size())
                    __builtin_trap();
                std::size_t unlike = 0;
                for (std::size_t i = 0; i < theirs.size(); ++i)
                    unlike += std::abs(int(theirs[i]) - pixels[i]) > 3;
                if (unlike > theirs.size() / 100)
                    __builtin_trap();
            }
        }
        std::fclose(stream);
    }
    return 0;
}
