// For each photo: the picture as the engine makes it (decoded at a reduced
// scale and fitted into 800 x 800 as the rows come) against the same
// picture decoded at full size and fitted, as PSNR in dB. Prints one line per photo and a
// summary: how far shrink-on-load changes what the user gets.
#include <algorithm>
#include <cstdio>

#include <wx/image.h>
#include <wx/init.h>

#include "FittedPicture.h"
#include "pixel/PictureLoader.h"

namespace {

constexpr int box = 800;

}  // namespace

int main(int argc, char** argv)
{
    wxInitializer toolkit;
    wxInitAllImageHandlers();
    double lowest = 99, total = 0;
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        LoadedPicture reduced, full;
        if (!loadPicture(argv[i], box, reduced) || !loadPicture(argv[i], 0, full))
            continue;
        const double value = psnr(fittedInto(reduced, box), fittedInto(full, box));
        std::printf("%6.2f dB  %s\n", value, argv[i]);
        lowest = std::min(lowest, value);
        total += value;
        ++count;
    }
    if (count > 0)
        std::printf("shrink on load vs full decode: PSNR min %.1f dB, mean %.1f dB over %d photos\n", lowest,
                    total / count, count);
    return 0;
}
