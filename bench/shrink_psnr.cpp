// For each photo: the picture as the engine makes it (decoded at a reduced
// scale and fitted into 800 x 800 as the rows come) against the same
// picture decoded at full size and fitted, as PSNR in dB. Prints one line per photo and a
// summary: how far shrink-on-load changes what the user gets.
#include <cmath>
#include <cstdio>

#include <wx/image.h>
#include <wx/init.h>

#include "batch/FitInBox.h"
#include "batch/PictureLoader.h"
#include "batch/Resample.h"

namespace {

constexpr int box = 800;

wxImage fitted(const LoadedPicture& picture)
{
    const FittedSize size = fitInBox(picture.storedWidth, picture.storedHeight, box, box);
    if (picture.image.GetWidth() == size.width && picture.image.GetHeight() == size.height)
        return picture.image;
    return resampleLanczos3(picture.image, static_cast<int>(size.width), static_cast<int>(size.height));
}

double psnr(const wxImage& a, const wxImage& b)
{
    const long long n = 3LL * a.GetWidth() * a.GetHeight();
    double sum = 0;
    for (long long i = 0; i < n; ++i) {
        const double d = double(a.GetData()[i]) - b.GetData()[i];
        sum += d * d;
    }
    return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * n / sum);
}

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
        const double value = psnr(fitted(reduced), fitted(full));
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
