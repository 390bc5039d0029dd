#include "batch/JpegDecoder.h"

#include <csetjmp>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

#include "batch/PictureLoader.h"

namespace {

// Real encoders write a dozen scans or so; thousands of tiny scans only make
// the decoder walk the whole picture again for each.
constexpr int maxScans = 1000;

struct DecodeGuard {
    jpeg_error_mgr manager;  // first: libjpeg's err pointer is cast back to this
    jpeg_progress_mgr progress;
    const std::atomic<bool>* cancel;
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<DecodeGuard*>(info->err)->jump, 1);
}

extern "C" void onJpegError(j_common_ptr info)
{
    leave(info);
}

// Warnings that lose no pixel: padding before a marker (common in camera
// files), an unknown JFIF revision or Adobe transform code, a bad ICC chunk.
bool harmless(int code)
{
    return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM ||
           code == JWRN_BOGUS_ICC;
}

extern "C" void onJpegMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning; the others are trace messages.
    if (level < 0 && !harmless(info->err->msg_code))
        leave(info);
}

extern "C" void onJpegProgress(j_common_ptr info)
{
    const std::atomic<bool>* cancel = reinterpret_cast<DecodeGuard*>(info->err)->cancel;
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > maxScans || (cancel && *cancel))
        leave(info);
}

// Inverted CMYK, as Adobe applications write it, to RGB: the toolkit's own
// formula, so that these pictures look as they always did.
void cmykToRgb(const unsigned char* cmyk, unsigned char* rgb, unsigned width)
{
    for (unsigned i = 0; i < width; ++i, cmyk += 4, rgb += 3) {
        const int black = cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const int value = 255 - black + black * (255 - cmyk[c]) / 255;
            rgb[c] = static_cast<unsigned char>(value > 255 ? 0 : 255 - value);
        }
    }
}

// Kept free of C++ objects with destructors: libjpeg leaves by longjmp.
bool decodePixels(std::FILE* file, int box, std::size_t memoryLimit, const std::atomic<bool>* cancel,
                  unsigned char*& pixels, int& width, int& height, int& storedWidth, int& storedHeight)
{
    jpeg_decompress_struct info;
    DecodeGuard guard;
    guard.cancel = cancel;
    info.err = jpeg_std_error(&guard.manager);
    guard.manager.error_exit = onJpegError;
    guard.manager.emit_message = onJpegMessage;
    guard.progress.progress_monitor = onJpegProgress;
    pixels = nullptr;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&info);
    info.progress = &guard.progress;
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    storedWidth = static_cast<int>(info.image_width);
    storedHeight = static_cast<int>(info.image_height);
    info.scale_num = 1;
    info.scale_denom = static_cast<unsigned>(boxScaleDenominator(storedWidth, storedHeight, box));
    jpeg_calc_output_dimensions(&info);
    const std::size_t stride = static_cast<std::size_t>(info.output_width) * 3;
    const std::size_t bytes = stride * info.output_height;
    if (bytes == 0 || bytes / stride != info.output_height || bytes >= memoryLimit) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Whatever libjpeg keeps besides the pixels (a progressive picture's
    // coefficients above all) shares what is left of the limit; past it,
    // libjpeg gives up instead of allocating.
    info.mem->max_memory_to_use = static_cast<long>(memoryLimit - bytes);
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    // malloc: wxImage takes ownership of the buffer and frees it with free().
    pixels = static_cast<unsigned char*>(std::malloc(bytes));
    if (!pixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    JSAMPARRAY cmykRow =
        cmyk ? (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, info.output_width * 4, 1)
             : nullptr;
    while (info.output_scanline < info.output_height) {
        unsigned char* rgb = pixels + stride * info.output_scanline;
        JSAMPROW row = cmyk ? cmykRow[0] : rgb;
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk)
            cmykToRgb(row, rgb, info.output_width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool decodeJpeg(std::FILE* file, int box, std::size_t memoryLimit, LoadedPicture& picture,
                const std::atomic<bool>* cancel)
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, storedWidth = 0, storedHeight = 0;
    if (!decodePixels(file, box, memoryLimit, cancel, pixels, width, height, storedWidth, storedHeight))
        return false;
    picture.image = wxImage(width, height, pixels);
    picture.storedWidth = storedWidth;
    picture.storedHeight = storedHeight;
    return true;
}
