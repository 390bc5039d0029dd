// Web output on real photos, each fitted into 800 x 800 as the batch fits it:
//   web_output CROPS.png PHOTO...
// 1. Size limits: for JPEG and WebP at quality 82 and limits of 30, 60, 100
//    and 150 KB, the encodes each picture took (the target: 3 or fewer on
//    average), the qualities found and whether every result fits.
// 2. Sharpening: the time each level takes per picture, the halo across a
//    hard edge shrunk as the batch shrinks (how far past the edge's two
//    sides the levels go), and CROPS.png: the same 160 x 120 crop of the
//    first photos at each level, side by side, off to high.
// 3. The automatic place and tone of a mark: the time per picture.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/init.h>

#include "FittedPicture.h"
#include "pixel/MarkPlacement.h"
#include "pixel/PictureLoader.h"
#include "pixel/Resample.h"
#include "pixel/ResultEncoder.h"
#include "pixel/Sharpening.h"

namespace {

constexpr int box = 800;

void sizeLimits(const std::vector<wxImage>& photos)
{
    for (const ResultFormat format : {ResultFormat::jpeg, ResultFormat::webp})
        for (const long kilobytes : {30L, 60L, 100L, 150L}) {
            ResultStyle style;
            style.format = format;
            style.maxBytes = kilobytes * 1000;
            int encodes = 0, reduced = 0, reducedEncodes = 0, over = 0, lowest = 100;
            for (const wxImage& photo : photos) {
                const EncodedResult result = encodeResult(photo, style, {}, {}, {});
                encodes += result.encodes;
                reduced += result.quality < style.quality;
                reducedEncodes += result.quality < style.quality ? result.encodes : 0;
                over += result.overLimit || static_cast<long long>(result.bytes.size()) > style.maxBytes;
                lowest = std::min<int>(lowest, static_cast<int>(result.quality));
            }
            std::printf("%s at most %3ld KB: %.2f encodes a picture (%d of %zu made smaller, with %.2f each; lowest "
                        "quality %d), %d over the limit\n",
                        format == ResultFormat::jpeg ? "JPEG" : "WebP", kilobytes, double(encodes) / photos.size(),
                        reduced, photos.size(), reduced ? double(reducedEncodes) / reduced : 0.0, lowest, over);
        }
}

// A hard edge from 40 to 200, shrunk by three with the batch's filter: the
// overshoot is how far the sharpened result goes below 40 or above 200.
int halo(Sharpening level)
{
    wxImage edge(300, 30, false);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 300; ++x) {
            const unsigned char v = x < 151 ? 40 : 200;
            edge.SetRGB(x, y, v, v, v);
        }
    wxImage shrunk = resampleLanczos3(edge, 100, 10);
    sharpen(shrunk, level);
    int worst = 0;
    for (int x = 0; x < 100; ++x)
        worst = std::max({worst, 40 - shrunk.GetRed(x, 5), shrunk.GetRed(x, 5) - 200});
    return worst;
}

// The automatic place among the four corners and the tone for a mark of
// 200 x 60 (a text at 4 % on 800), per picture.
void placement(const std::vector<wxImage>& photos)
{
    const std::vector<int> corners = {1, 3, 7, 9};
    const auto start = std::chrono::steady_clock::now();
    int bright = 0;
    for (const wxImage& photo : photos) {
        const int place = calmestPlace(photo, 200, 60, 16, corners);
        bright += brightGround(photo, 200, 60, 16, place);
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / photos.size();
    std::printf("automatic place and tone: %.2f ms a picture (target: 3 or less); %d of %zu on bright ground\n", ms,
                bright, photos.size());
}

void sharpening(const std::vector<wxImage>& photos, const char* cropsFile)
{
    constexpr int cropWidth = 160, cropHeight = 120, rows = 4;
    wxImage crops(cropWidth * 4, cropHeight * std::min<int>(rows, photos.size()), true);
    for (int level = 0; level < 4; ++level) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < photos.size(); ++i) {
            wxImage picture = photos[i].Copy();
            sharpen(picture, static_cast<Sharpening>(level));
            if (int(i) < rows) {
                const wxRect area(picture.GetWidth() / 2 - cropWidth / 2, picture.GetHeight() / 2 - cropHeight / 2,
                                  cropWidth, cropHeight);
                crops.Paste(picture.GetSubImage(area), level * cropWidth, int(i) * cropHeight);
            }
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / photos.size();
        std::printf("sharpening %-8s %.1f ms a picture, halo across a hard edge: %d levels (%d added)\n",
                    sharpeningName(static_cast<Sharpening>(level)), ms, halo(static_cast<Sharpening>(level)),
                    halo(static_cast<Sharpening>(level)) - halo(Sharpening::off));
    }
    crops.SaveFile(cropsFile, wxBITMAP_TYPE_PNG);
    std::printf("crops of the first photos at each level, off to high: %s\n", cropsFile);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s CROPS.png PHOTO...\n", argv[0]);
        return 2;
    }
    wxInitializer toolkit;
    wxInitAllImageHandlers();
    std::vector<wxImage> photos;
    for (int i = 2; i < argc; ++i) {
        LoadedPicture picture;
        if (loadPicture(argv[i], box, picture))
            photos.push_back(fittedInto(picture, box));
    }
    if (photos.empty())
        return 1;
    sizeLimits(photos);
    placement(photos);
    sharpening(photos, argv[1]);
    return 0;
}
