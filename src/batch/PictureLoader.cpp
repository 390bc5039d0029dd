#include "batch/PictureLoader.h"

#include <csetjmp>
#include <cstdlib>
#include <cstdio>

#include <jpeglib.h>
#include <wx/wfstream.h>

#include "batch/FitInBox.h"

namespace {

struct DecodeError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

extern "C" void onJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<DecodeError*>(info->err)->jump, 1);
}

extern "C" void ignoreJpegMessage(j_common_ptr)
{
}

long long reduced(long long size, int denominator)
{
    return (size + denominator - 1) / denominator;
}

enum class Decode { done, failed, notMine };

// Decodes an RGB, grey or YCbCr JPEG with libjpeg at 1/scale of its size.
// Kept free of C++ objects with destructors: libjpeg leaves by longjmp.
Decode decodeJpeg(std::FILE* file, int box, unsigned char*& pixels, int& width, int& height, int& storedWidth,
                  int& storedHeight)
{
    jpeg_decompress_struct info;
    DecodeError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    error.manager.output_message = ignoreJpegMessage;
    pixels = nullptr;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        std::free(pixels);
        pixels = nullptr;
        return Decode::failed;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK) {
        jpeg_destroy_decompress(&info);
        return Decode::notMine;
    }
    storedWidth = static_cast<int>(info.image_width);
    storedHeight = static_cast<int>(info.image_height);
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = 1;
    if (box > 0 && (storedWidth > box || storedHeight > box)) {
        const FittedSize target = fitInBox(storedWidth, storedHeight, box, box);
        info.scale_denom = static_cast<unsigned>(
            jpegScaleDenominator(storedWidth, storedHeight, target.width, target.height));
    }
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    // malloc: wxImage takes ownership of the buffer and frees it with free().
    pixels = static_cast<unsigned char*>(std::malloc(stride * static_cast<std::size_t>(height)));
    if (!pixels) {
        jpeg_destroy_decompress(&info);
        return Decode::failed;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Decode::done;
}

bool startsLikeJpeg(std::FILE* file)
{
    const int first = std::fgetc(file);
    const int second = std::fgetc(file);
    std::rewind(file);
    return first == 0xFF && second == 0xD8;
}

}  // namespace

int jpegScaleDenominator(int width, int height, long long targetWidth, long long targetHeight)
{
    int denominator = 1;
    while (denominator < 8 && reduced(width, denominator * 2) >= 2 * targetWidth &&
           reduced(height, denominator * 2) >= 2 * targetHeight)
        denominator *= 2;
    return denominator;
}

bool loadPicture(const std::string& path, int box, LoadedPicture& picture)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;

    if (startsLikeJpeg(file)) {
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        const Decode result =
            decodeJpeg(file, box, pixels, width, height, picture.storedWidth, picture.storedHeight);
        if (result != Decode::notMine) {
            std::fclose(file);
            if (result == Decode::failed)
                return false;
            picture.image = wxImage(width, height, pixels);
            return true;
        }
        std::rewind(file);
    }

    // Any other format, and the JPEG colour spaces left to the toolkit.
    wxFFileInputStream stream(file);
    const bool loaded = picture.image.LoadFile(stream, wxBITMAP_TYPE_ANY);
    if (loaded) {
        picture.storedWidth = picture.image.GetWidth();
        picture.storedHeight = picture.image.GetHeight();
    }
    return loaded;
}
