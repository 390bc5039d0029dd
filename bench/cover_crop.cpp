// What choosing a cover frame's crop costs: each photo fitted to cover
// 1080 x 1350 as the batch fits it, then the crop's place found on it by
// its detail, timed alone. Prints one line per photo and the slowest.
//   cover_crop PHOTO...
#include <algorithm>
#include <chrono>
#include <cstdio>

#include <wx/image.h>
#include <wx/init.h>

#include "pixel/FrameCrop.h"
#include "pixel/PictureLoader.h"
#include "pixel/Resample.h"
#include "pixel/ResultSize.h"

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    wxInitAllImageHandlers();
    const SizeRule frame{FitMode::cover, 1080, 1350, 0};
    double slowest = 0, total = 0;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        LoadedPicture loaded;
        if (!loadPicture(argv[i], 0, loaded))
            continue;
        FittedSize fitted{loaded.image.GetWidth(), loaded.image.GetHeight()};
        shrinksUnder(frame, fitted.width, fitted.height, fitted);
        const wxImage picture =
            resampleLanczos3(loaded.image, static_cast<int>(fitted.width), static_cast<int>(fitted.height));
        const FittedSize kept = coverCrop(frame, fitted.width, fitted.height);
        const bool alongWidth = kept.width < fitted.width;
        // The best of five runs: the cost, not the machine's other work.
        double best = 1e9;
        long long start = 0;
        for (int run = 0; run < 5; ++run) {
            const auto began = std::chrono::steady_clock::now();
            start = detailedStart(picture, alongWidth, alongWidth ? kept.width : kept.height);
            best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                                      .count());
        }
        std::printf("%6.2f ms  %lldx%lld, kept from %lld  %s\n", best, fitted.width, fitted.height, start, argv[i]);
        slowest = std::max(slowest, best);
        total += best;
        ++count;
    }
    if (count > 0)
        std::printf("cover crop: slowest %.2f ms, mean %.2f ms over %d photos\n", slowest, total / count, count);
    return 0;
}
