#include "pixel/JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

struct EncodeGuard {
    jpeg_error_mgr manager;  // first: libjpeg's err pointer is cast back to this
    std::jmp_buf jump;
};

// Collects the encoded bytes in a vector owned by the caller, so that
// nothing is left to free when libjpeg gives up half way.
struct VectorDestination {
    jpeg_destination_mgr manager;  // first: libjpeg's dest pointer is cast back to this
    std::vector<unsigned char>* bytes;
    unsigned char chunk[65536];
};

VectorDestination& destinationOf(j_compress_ptr info)
{
    return *reinterpret_cast<VectorDestination*>(info->dest);
}

extern "C" void startDestination(j_compress_ptr info)
{
    VectorDestination& d = destinationOf(info);
    d.manager.next_output_byte = d.chunk;
    d.manager.free_in_buffer = sizeof d.chunk;
}

extern "C" boolean flushDestination(j_compress_ptr info)
{
    VectorDestination& d = destinationOf(info);
    d.bytes->insert(d.bytes->end(), d.chunk, d.chunk + sizeof d.chunk);
    startDestination(info);
    return TRUE;
}

extern "C" void endDestination(j_compress_ptr info)
{
    VectorDestination& d = destinationOf(info);
    d.bytes->insert(d.bytes->end(), d.chunk, d.chunk + (sizeof d.chunk - d.manager.free_in_buffer));
}

extern "C" void onEncodeError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<EncodeGuard*>(info->err)->jump, 1);
}

extern "C" void onEncodeMessage(j_common_ptr, int) {}

// Kept free of C++ objects with destructors: libjpeg leaves by longjmp.
bool compress(const wxImage& picture, int quality, const JpegLayout& layout, VectorDestination& destination)
{
    jpeg_compress_struct info;
    EncodeGuard guard;
    info.err = jpeg_std_error(&guard.manager);
    guard.manager.error_exit = onEncodeError;
    guard.manager.emit_message = onEncodeMessage;
    if (setjmp(guard.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    destination.manager.init_destination = startDestination;
    destination.manager.empty_output_buffer = flushDestination;
    destination.manager.term_destination = endDestination;
    info.dest = &destination.manager;
    info.image_width = static_cast<JDIMENSION>(picture.GetWidth());
    info.image_height = static_cast<JDIMENSION>(picture.GetHeight());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (quality >= fullColourQuality || layout.fullChroma)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    if (layout.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = std::size_t(picture.GetWidth()) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = picture.GetData() + stride * info.next_scanline;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::vector<unsigned char> compressJpeg(const wxImage& picture, long quality, const JpegLayout& layout)
{
    if (!picture.IsOk() || picture.GetWidth() <= 0 || picture.GetHeight() <= 0)
        return {};
    std::vector<unsigned char> bytes;
    auto destination = std::make_unique<VectorDestination>();
    destination->bytes = &bytes;
    const int clamped = static_cast<int>(quality < 1 ? 1 : quality > 100 ? 100 : quality);
    if (!compress(picture, clamped, layout, *destination))
        bytes.clear();
    return bytes;
}
