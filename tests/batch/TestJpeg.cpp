#include "batch/TestJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace {

Bytes encode(const wxImage& image, bool progressive, StoredAs storedAs, const Bytes& iccProfile,
             unsigned restartInterval, int quality, const std::vector<jpeg_scan_info>& script)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    const bool cmyk = storedAs == StoredAs::cmyk;
    const bool grey = storedAs == StoredAs::grey;
    info.image_width = static_cast<JDIMENSION>(image.GetWidth());
    info.image_height = static_cast<JDIMENSION>(image.GetHeight());
    info.input_components = cmyk ? 4 : grey ? 1 : 3;
    info.in_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (storedAs == StoredAs::ycc444 || storedAs == StoredAs::scanPerComponent)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    if (storedAs == StoredAs::ycc422)
        info.comp_info[0].v_samp_factor = 1;
    if (storedAs == StoredAs::ycc440)
        info.comp_info[0].h_samp_factor = 1;
    info.restart_interval = restartInterval;
    static const jpeg_scan_info scanPerComponent[] = {
        {1, {0}, 0, 63, 0, 0}, {1, {1}, 0, 63, 0, 0}, {1, {2}, 0, 63, 0, 0}};
    if (storedAs == StoredAs::scanPerComponent) {
        info.scan_info = scanPerComponent;
        info.num_scans = 3;
    }
    if (!script.empty()) {
        info.scan_info = script.data();
        info.num_scans = static_cast<int>(script.size());
    } else if (progressive) {
        jpeg_simple_progression(&info);
    }
    jpeg_start_compress(&info, TRUE);
    if (!iccProfile.empty())
        jpeg_write_icc_profile(&info, iccProfile.data(), static_cast<unsigned>(iccProfile.size()));
    std::vector<unsigned char> row(static_cast<std::size_t>(image.GetWidth()) * info.input_components);
    while (info.next_scanline < info.image_height) {
        const unsigned char* rgb = image.GetData() + std::size_t(info.next_scanline) * image.GetWidth() * 3;
        for (int x = 0; x < image.GetWidth(); ++x) {
            for (int c = 0; c < info.input_components && c < 3; ++c)
                row[std::size_t(x) * info.input_components + c] = rgb[x * 3 + c + (grey ? 1 : 0)];
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

}  // namespace

Bytes encodeJpeg(const wxImage& image, bool progressive, StoredAs storedAs, const Bytes& iccProfile,
                 unsigned restartInterval)
{
    return encode(image, progressive, storedAs, iccProfile, restartInterval, 90, {});
}

Bytes encodeScripted(const wxImage& image, int quality, StoredAs storedAs, const std::vector<jpeg_scan_info>& script,
                     unsigned restartInterval)
{
    return encode(image, true, storedAs, {}, restartInterval, quality, script);
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

namespace {

struct ComplaintGuard {
    jpeg_error_mgr manager;  // first: libjpeg's err pointer is cast back to this
    std::jmp_buf jump;
};

extern "C" void leaveOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ComplaintGuard*>(info->err)->jump, 1);
}

extern "C" void quiet(j_common_ptr) {}

}  // namespace

bool libjpegComplains(const Bytes& jpeg)
{
    jpeg_decompress_struct info;
    ComplaintGuard guard;
    info.err = jpeg_std_error(&guard.manager);
    guard.manager.error_exit = leaveOnError;
    guard.manager.output_message = quiet;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&info);
        return true;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    std::vector<unsigned char> row(std::size_t(info.output_width) * info.output_components);
    JSAMPROW pointer = row.data();
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, &pointer, 1);
    jpeg_finish_decompress(&info);
    const bool warned = guard.manager.num_warnings > 0;
    jpeg_destroy_decompress(&info);
    return warned;
}

LibjpegSamples libjpegDecode(const Bytes& jpeg, int numerator, int colourSpace, bool smoothChroma)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = static_cast<J_COLOR_SPACE>(colourSpace);
    info.scale_num = static_cast<unsigned>(numerator);
    info.scale_denom = 8;
    info.do_fancy_upsampling = smoothChroma ? TRUE : FALSE;
    jpeg_start_decompress(&info);
    LibjpegSamples decoded;
    decoded.width = static_cast<int>(info.output_width);
    decoded.height = static_cast<int>(info.output_height);
    const std::size_t rowBytes = std::size_t(info.output_width) * info.output_components;
    decoded.samples.resize(rowBytes * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = decoded.samples.data() + rowBytes * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return decoded;
}

namespace {

// Bits into bytes, most significant first, with a zero after every 0xFF as
// entropy-coded data needs; the last byte is filled with ones.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void put(unsigned value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = (byte_ << 1) | ((value >> i) & 1);
            if (++bits_ == 8)
                flush();
        }
    }
    void finish()
    {
        while (bits_ != 0)
            put(1, 1);
    }

private:
    void flush()
    {
        out_.push_back(static_cast<std::uint8_t>(byte_));
        if (byte_ == 0xFF)
            out_.push_back(0);
        byte_ = 0;
        bits_ = 0;
    }
    Bytes& out_;
    unsigned byte_ = 0;
    int bits_ = 0;
};

void segment(Bytes& out, std::uint8_t marker, const Bytes& data)
{
    out.insert(out.end(), {0xFF, marker, static_cast<std::uint8_t>((data.size() + 2) >> 8),
                           static_cast<std::uint8_t>(data.size() + 2)});
    out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

Bytes flatProgressiveGrey(int width, int height)
{
    Bytes jpeg = {0xFF, 0xD8};
    Bytes quant = {0};
    quant.resize(65, 1);
    segment(jpeg, 0xDB, quant);
    segment(jpeg, 0xC2, {8, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height),
                         static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width), 1, 1, 0x11, 0});
    // DC: one symbol, size 0 (no change), coded as a single 0 bit.
    Bytes dcTable = {0x00, 1};
    dcTable.resize(17, 0);
    dcTable.push_back(0);
    segment(jpeg, 0xC4, dcTable);
    // AC: the end-of-band runs 2^r + r extra bits, r = 0..14, 4 bits each.
    Bytes acTable = {0x10, 0, 0, 0, 15};
    acTable.resize(17, 0);
    for (int r = 0; r < 15; ++r)
        acTable.push_back(static_cast<std::uint8_t>(r << 4));
    segment(jpeg, 0xC4, acTable);
    const long long blocks = 1LL * ((width + 7) / 8) * ((height + 7) / 8);
    segment(jpeg, 0xDA, {1, 1, 0x00, 0, 0, 0});
    BitWriter dc(jpeg);
    for (long long i = 0; i < blocks; ++i)
        dc.put(0, 1);
    dc.finish();
    segment(jpeg, 0xDA, {1, 1, 0x00, 1, 63, 0});
    BitWriter ac(jpeg);
    for (long long left = blocks; left > 0;) {
        const long long run = std::min<long long>(left, 32767);
        int r = 0;
        while ((2LL << r) <= run)
            ++r;
        ac.put(static_cast<unsigned>(r), 4);
        ac.put(static_cast<unsigned>(run - (1LL << r)), r);
        left -= run;
    }
    ac.finish();
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}
