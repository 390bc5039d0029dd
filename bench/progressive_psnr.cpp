// For each photo and box size from 200 to 2000: the photo as the engine
// fits it into the box, from its baseline file and from a progressive twin
// with the very same coefficients (made losslessly, as jpegtran
// -progressive makes it), each against a Lanczos-3 reduction of the full
// decode, in dB. The progressive result must be as sharp as the
// baseline's: the worst gap is printed last.
//   progressive_psnr PHOTO.jpg...
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>
#include <unistd.h>
#include <wx/image.h>
#include <wx/init.h>

#include "FittedPicture.h"
#include "pixel/PictureLoader.h"

namespace {

bool writeProgressiveTwin(const char* from, const std::string& to)
{
    std::FILE* in = std::fopen(from, "rb");
    std::FILE* out = std::fopen(to.c_str(), "wb");
    if (!in || !out)
        return false;
    jpeg_decompress_struct source;
    jpeg_compress_struct twin;
    jpeg_error_mgr errors;
    source.err = twin.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&source);
    jpeg_create_compress(&twin);
    jpeg_stdio_src(&source, in);
    jpeg_read_header(&source, TRUE);
    jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&source);
    jpeg_copy_critical_parameters(&source, &twin);
    jpeg_simple_progression(&twin);
    jpeg_stdio_dest(&twin, out);
    jpeg_write_coefficients(&twin, coefficients);
    jpeg_finish_compress(&twin);
    jpeg_finish_decompress(&source);
    jpeg_destroy_compress(&twin);
    jpeg_destroy_decompress(&source);
    std::fclose(in);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    wxInitAllImageHandlers();
    const std::string twin = "/tmp/progressive_psnr_" + std::to_string(getpid()) + ".jpg";
    static const int boxes[] = {200, 300, 400, 600, 800, 1200, 1600, 2000};
    constexpr int boxCount = sizeof boxes / sizeof boxes[0];
    double baselineSum[boxCount] = {}, progressiveSum[boxCount] = {};
    double worstGap = -99;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        LoadedPicture full;
        if (!writeProgressiveTwin(argv[i], twin) || !loadPicture(argv[i], 0, full))
            continue;
        ++count;
        for (int b = 0; b < boxCount; ++b) {
            LoadedPicture baseline, progressive;
            if (!loadPicture(argv[i], boxes[b], baseline) || !loadPicture(twin, boxes[b], progressive)) {
                std::printf("cannot load %s at %d\n", argv[i], boxes[b]);
                return 1;
            }
            const wxImage reference = fittedInto(full, boxes[b]);
            const double ofBaseline = psnr(fittedInto(baseline, boxes[b]), reference);
            const double ofProgressive = psnr(fittedInto(progressive, boxes[b]), reference);
            baselineSum[b] += ofBaseline;
            progressiveSum[b] += ofProgressive;
            worstGap = std::max(worstGap, ofBaseline - ofProgressive);
            std::printf("%5d  baseline %6.2f dB  progressive %6.2f dB  %s\n", boxes[b], ofBaseline, ofProgressive,
                        argv[i]);
        }
    }
    std::remove(twin.c_str());
    for (int b = 0; b < boxCount && count > 0; ++b)
        std::printf("box %4d: baseline %.1f dB, progressive %.1f dB (mean of %d photos)\n", boxes[b],
                    baselineSum[b] / count, progressiveSum[b] / count, count);
    std::printf("largest shortfall of a progressive twin: %.2f dB\n", worstGap);
    return 0;
}
