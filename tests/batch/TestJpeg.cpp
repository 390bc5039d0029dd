#include "batch/TestJpeg.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <jpeglib.h>

Bytes encodeJpeg(const wxImage& image, bool progressive, bool cmyk, const Bytes& iccProfile)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.GetWidth());
    info.image_height = static_cast<JDIMENSION>(image.GetHeight());
    info.input_components = cmyk ? 4 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    if (!iccProfile.empty())
        jpeg_write_icc_profile(&info, iccProfile.data(), static_cast<unsigned>(iccProfile.size()));
    std::vector<unsigned char> row(static_cast<std::size_t>(image.GetWidth()) * info.input_components);
    while (info.next_scanline < info.image_height) {
        const unsigned char* rgb = image.GetData() + std::size_t(info.next_scanline) * image.GetWidth() * 3;
        for (int x = 0; x < image.GetWidth(); ++x) {
            for (int c = 0; c < 3; ++c)
                row[std::size_t(x) * info.input_components + c] = rgb[x * 3 + c];
            if (cmyk)
                row[std::size_t(x) * 4 + 3] = 200;
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

void claimFrameSize(Bytes& jpeg, int width, int height)
{
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
            jpeg[i + 6] = static_cast<std::uint8_t>(height);
            jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<std::uint8_t>(width);
            return;
        }
    }
    ADD_FAILURE() << "no start-of-frame header";
}

wxImage shadedPicture(int width, int height)
{
    wxImage image(width, height, false);
    unsigned char* p = image.GetData();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            *p++ = static_cast<unsigned char>(x * 255 / width);
            *p++ = static_cast<unsigned char>(y * 255 / height);
            *p++ = static_cast<unsigned char>((x * 7 + y * 13) % 64 + 96);
        }
    return image;
}
