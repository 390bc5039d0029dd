#include "pixel/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "pixel/DecodedRows.h"
#include "pixel/PictureLoader.h"
#include "pixel/ProfileConversion.h"
#include "jpeg/CoefficientBits.h"
#include "jpeg/JpegHead.h"
#include "jpeg/ProgressiveDecoder.h"
#include "platform/FileAccess.h"

namespace {

struct DecodeGuard {
    jpeg_error_mgr manager;  // first: libjpeg's err pointer is cast back to this
    jpeg_progress_mgr progress;
    const std::atomic<bool>* cancel;
    std::FILE* file;
    bool inScans;        // past the head: left-over data now means damage
    bool endedEarly;     // the file ended without its end-of-image marker
    unsigned scanned;    // the components the scans so far have carried, a bit each
    std::jmp_buf jump;
};

DecodeGuard& guardOf(j_common_ptr info)
{
    return *reinterpret_cast<DecodeGuard*>(info->err);
}

[[noreturn]] void leave(j_common_ptr info)
{
    std::longjmp(guardOf(info).jump, 1);
}

extern "C" void onJpegError(j_common_ptr info)
{
    leave(info);
}

// Warnings that lose no pixel: an unknown JFIF revision or Adobe transform
// code, a bad ICC chunk, and scan parameters of a sequential picture that
// libjpeg ignores (some encoders write zeros there).
bool harmless(int code)
{
    return code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC ||
           code == JWRN_NOT_SEQUENTIAL;
}

// Whether the count bytes libjpeg skipped in front of a marker are padding:
// zero bytes, as some encoders and cameras write. Any other left-over data
// is the rest of a scan that the decoder finished early because the data is
// garbled; a stuffed 0xFF 0x00 among it is a data byte, not padding.
// libjpeg warns before it moves its source on past the marker, so the
// source stands right behind the last skipped byte (end), or behind 0xFF
// fill that follows it when the buffer was refilled there; libjpeg counts
// neither the fill nor the marker. Read backwards in blocks: padding may
// run to megabytes.
bool skippedOnlyPadding(std::FILE* file, long long end, unsigned long count)
{
    constexpr long long blockSize = 65536;
    std::vector<unsigned char> block(blockSize);
    bool inFill = true;
    for (long long at = end; at > 0 && (inFill || count > 0);) {
        const long long size = std::min(blockSize, at);
        at -= size;
        if (!readAt(file, block.data(), static_cast<std::size_t>(size), at))
            return false;
        for (long long i = size - 1; i >= 0 && (inFill || count > 0); --i) {
            const unsigned char byte = block[static_cast<std::size_t>(i)];
            if (inFill && byte == 0xFF)
                continue;
            inFill = false;
            if (byte != 0x00)
                return false;
            --count;
        }
    }
    return count == 0;
}

extern "C" void onJpegMessage(j_common_ptr info, int level)
{
    // Level -1 is a warning; the others are trace messages.
    if (level >= 0)
        return;
    DecodeGuard& guard = guardOf(info);
    const int code = info->err->msg_code;
    if (code == JWRN_JPEG_EOF) {
        // Whole only if every scan turns out complete: checked at the end.
        guard.endedEarly = true;
        return;
    }
    if (code == JWRN_EXTRANEOUS_DATA) {
        if (!guard.inScans)
            return;
        const jpeg_source_mgr* source = reinterpret_cast<j_decompress_ptr>(info)->src;
        // After an early end the marker is the one libjpeg made up behind
        // the last byte.
        const long long end = guard.endedEarly ? fileSize(guard.file)
                                               : std::ftell(guard.file) - static_cast<long long>(source->bytes_in_buffer);
        if (end >= 0 && skippedOnlyPadding(guard.file, end, static_cast<unsigned long>(info->err->msg_parm.i[0])))
            return;
    }
    if (!harmless(code))
        leave(info);
}

extern "C" void onJpegProgress(j_common_ptr common)
{
    DecodeGuard& guard = guardOf(common);
    const auto info = reinterpret_cast<j_decompress_ptr>(common);
    if (info->input_scan_number > maxJpegScans || (guard.cancel && *guard.cancel))
        leave(common);
    for (int i = 0; i < info->comps_in_scan; ++i)
        guard.scanned |= 1u << info->cur_comp_info[i]->component_index;
}

// Whether the data in hand holds every pixel: for a progressive picture,
// every bit of every coefficient; otherwise a scan for every component.
bool everyScanComplete(const jpeg_decompress_struct& info, unsigned scanned)
{
    if (!info.progressive_mode)
        return scanned == (1u << info.num_components) - 1;
    for (int c = 0; c < info.num_components; ++c)
        if (!everyCoefficientBitArrived(info.coef_bits[c]))
            return false;
    return true;
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

struct Decoded {
    DecodedRows& rows;
    int storedWidth, storedHeight;
    bool rgb;  // the stored colour space was RGB (or YCbCr)
};

// Kept free of C++ objects with destructors: libjpeg leaves by longjmp.
bool decodePixels(std::FILE* file, const FittedSize& target, std::size_t memoryLimit, const std::atomic<bool>* cancel,
                  const std::vector<unsigned char>& profile, ProfileConversion& conversion, Decoded& out)
{
    jpeg_decompress_struct info;
    DecodeGuard guard;
    guard.cancel = cancel;
    guard.file = file;
    guard.inScans = guard.endedEarly = false;
    guard.scanned = 0;
    info.err = jpeg_std_error(&guard.manager);
    guard.manager.error_exit = onJpegError;
    guard.manager.emit_message = onJpegMessage;
    guard.progress.progress_monitor = onJpegProgress;
    if (setjmp(guard.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    info.progress = &guard.progress;
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    guard.inScans = true;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
    out.rgb = !cmyk && !grey;
    if (cmyk)
        conversion.open(profile, info.saw_Adobe_marker ? ProfileConversion::Input::invertedCmyk
                                                       : ProfileConversion::Input::cmyk);
    else if (grey)
        conversion.open(profile, ProfileConversion::Input::grey);
    const int channels = cmyk ? 4 : grey && conversion.isOpen() ? 1 : 3;
    info.out_color_space = channels == 4 ? JCS_CMYK : channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    out.storedWidth = static_cast<int>(info.image_width);
    out.storedHeight = static_cast<int>(info.image_height);
    info.scale_num = static_cast<unsigned>(targetScaleNumerator(out.storedWidth, out.storedHeight, target));
    info.scale_denom = 8;
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
    if (!out.rows.start(out.storedWidth, out.storedHeight, static_cast<int>(info.output_width),
                        static_cast<int>(info.output_height))) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    JSAMPARRAY inputRow = channels == 3 ? nullptr
                                        : (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                                    info.output_width * channels, 1);
    while (info.output_scanline < info.output_height) {
        unsigned char* rgb = out.rows.next();
        JSAMPROW row = inputRow ? inputRow[0] : rgb;
        jpeg_read_scanlines(&info, &row, 1);
        if (conversion.isOpen())
            conversion.convert(row, rgb, info.output_width);
        else if (cmyk)
            cmykToRgb(row, rgb, info.output_width);
        out.rows.done();
    }
    // Every scan has been read by now; an early end is judged by what it
    // left out, and so is an end marker that comes before the last scan.
    const bool complete = everyScanComplete(info, guard.scanned);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete;
}

enum class OwnDecode { decoded, declined, failed };

// A progressive picture decoded by the decoder that keeps of each block
// only the coefficients its size shows, a byte each for most, at every
// scale the shrink asks for. Declined for a picture it
// does not take and for any fault: libjpeg then judges the file.
OwnDecode decodeProgressive(std::FILE* file, const FittedSize& target, std::size_t memoryLimit,
                            const std::atomic<bool>* cancel, const std::vector<unsigned char>& profile, Decoded& out)
{
    ProgressiveDecoder decoder(file, maxJpegScans, cancel);
    if (!decoder.readHead())
        return OwnDecode::declined;
    const int numerator = targetScaleNumerator(decoder.width(), decoder.height(), target);
    out.storedWidth = decoder.width();
    out.storedHeight = decoder.height();
    out.rgb = decoder.channels() == 3;
    const int width = static_cast<int>(scaledSide(out.storedWidth, numerator));
    const int height = static_cast<int>(scaledSide(out.storedHeight, numerator));
    const std::size_t bytes = std::size_t(width) * 3 * height;
    if (bytes >= memoryLimit || !out.rows.start(out.storedWidth, out.storedHeight, width, height))
        return OwnDecode::declined;
    ProfileConversion conversion;
    if (!out.rgb)
        conversion.open(profile, ProfileConversion::Input::grey);
    const auto outcome = decoder.decode(numerator, memoryLimit - bytes, [&](int, const unsigned char* samples) {
        unsigned char* rgb = out.rows.next();
        if (out.rgb)
            std::memcpy(rgb, samples, std::size_t(width) * 3);
        else if (conversion.isOpen())
            conversion.convert(samples, rgb, static_cast<unsigned>(width));
        else
            for (int x = 0; x < width; ++x)
                std::memset(rgb + 3 * x, samples[x], 3);
        out.rows.done();
    });
    if (outcome == ProgressiveDecoder::Outcome::declined)
        return OwnDecode::declined;
    return outcome == ProgressiveDecoder::Outcome::cancelled ? OwnDecode::failed : OwnDecode::decoded;
}

}  // namespace

bool decodeJpeg(std::FILE* file, const FittedSize& target, std::size_t memoryLimit, const JpegHead& head, LoadedPicture& picture,
                const std::atomic<bool>* cancel)
{
    const std::vector<unsigned char>& profile = head.iccProfile;
    std::rewind(file);
    DecodedRows rows(target);
    Decoded decoded{rows, 0, 0, false};
    const OwnDecode own = head.frame.progressive
                              ? decodeProgressive(file, target, memoryLimit, cancel, profile, decoded)
                              : OwnDecode::declined;
    if (own == OwnDecode::failed)
        return false;
    if (own == OwnDecode::declined) {
        std::rewind(file);
        rows = DecodedRows(target);
        ProfileConversion conversion;
        if (!decodePixels(file, target, memoryLimit, cancel, profile, conversion, decoded))
            return false;
    }
    picture.image = rows.take();
    picture.storedWidth = decoded.storedWidth;
    picture.storedHeight = decoded.storedHeight;
    picture.iccProfile = decoded.rgb && describesRgb(profile) ? profile : std::vector<unsigned char>{};
    return true;
}
